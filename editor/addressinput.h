#pragma once

#include <QObject>

class QLineEdit;

// Dotted-address typing across the four address fields: "." moves on to the next
// field instead of going in, and a whole address typed or pasted into any field
// fills all four. Each field then changes as if typed, so its usual checks run.
class AddressInput : public QObject
{
public:
    AddressInput(QLineEdit* const (&fields)[4], QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveOn(int from);
    // `text` is what field `index` would hold if the input went in.
    void Distribute(int index, const QString& text);

    QLineEdit* fields_[4];
};
