#pragma once

#include <QWidget>

class QAbstractItemModel;
class QLineEdit;

// The row after (or before) `from` whose cells contain `text`, ignoring case,
// going round the end; -1 when no row has it. `from` -1 starts at the top
// (going forward) or the bottom (going back).
int FindRow(const QAbstractItemModel& model, const QString& text, int from, bool forward);

// The find field above the host list. While it has the focus it keeps Enter
// (next match) and Escape (close) to itself, so neither ends the window.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent);

    QString text() const;
    // Shows the bar and puts the focus into its field, its text selected.
    void open();

signals:
    // The text changed (`again` false: the current row may match), or the user
    // asked for the next or previous match.
    void findRequested(const QString& text, bool forward, bool again);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
};
