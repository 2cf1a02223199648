#include "addressinput.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QValidator>

#include <functional>

namespace
{

// Lets everything through but a dot, which it hands on instead. Every way text
// gets in (keys, paste, drop, the context menu) passes here; setText() does not.
class DotValidator : public QValidator
{
public:
    DotValidator(std::function<void(const QString&)> onDot, QObject* parent)
        : QValidator(parent), onDot_(std::move(onDot))
    {
    }

    State validate(QString& input, int&) const override
    {
        if (!input.contains(u'.'))
            return Acceptable;
        // Not from inside the field's own edit: once it is done.
        QTimer::singleShot(0, parent(), [onDot = onDot_, text = input] { onDot(text); });
        return Invalid;
    }

private:
    std::function<void(const QString&)> onDot_;
};

} // namespace

AddressInput::AddressInput(QLineEdit* const (&fields)[4], QObject* parent) : QObject(parent)
{
    for (int i = 0; i < 4; ++i) {
        fields_[i] = fields[i];
        fields_[i]->setValidator(
            new DotValidator([this, i](const QString& text) { Distribute(i, text); }, this));
        fields_[i]->installEventFilter(this);
    }
}

bool AddressInput::eventFilter(QObject* watched, QEvent* event)
{
    // A typed dot moves on at once, before the next key arrives.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == QStringLiteral(".")) {
        for (int i = 0; i < 4; ++i) {
            if (watched == fields_[i]) {
                MoveOn(i);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void AddressInput::MoveOn(int from)
{
    QLineEdit* next = fields_[std::min(from + 1, 3)];
    if (next->isEnabled()) {
        next->setFocus(Qt::TabFocusReason);
        next->selectAll();
    }
}

void AddressInput::Distribute(int index, const QString& text)
{
    static const QRegularExpression whole(
        QStringLiteral("^\\s*([^.\\s]+)\\.([^.\\s]+)\\.([^.\\s]+)\\.([^.\\s]+)\\s*$"));
    QStringList parts;
    int first = index;
    if (const QRegularExpressionMatch m = whole.match(text); m.hasMatch()) {
        parts = m.capturedTexts().mid(1);
        first = 0;
    } else {
        parts = text.split(u'.');
    }
    int last = first;
    for (int k = 0; k < parts.size() && first + k < 4; ++k) {
        const QString part = parts[k].trimmed();
        // An empty part is a dot typed at the end: nothing to put there.
        if (part.isEmpty() && k > 0)
            continue;
        if (fields_[first + k]->text() != part)
            fields_[first + k]->setText(part);
        last = first + k;
    }
    // A paste ending in a dot moves on like a typed one.
    MoveOn(parts.size() > 1 && parts.last().isEmpty() ? first + int(parts.size()) - 2 : last - 1);
}
