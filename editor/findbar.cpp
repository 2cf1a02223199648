#include "findbar.h"

#include "stringtable.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

int FindRow(const QAbstractItemModel& model, const QString& text, int from, bool forward)
{
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    if (text.isEmpty() || rows == 0)
        return -1;
    int row = from < 0 ? (forward ? rows - 1 : 0) : from;
    for (int step = 0; step < rows; ++step) {
        row = forward ? (row + 1) % rows : (row + rows - 1) % rows;
        for (int column = 0; column < columns; ++column) {
            if (model.data(model.index(row, column)).toString().contains(text, Qt::CaseInsensitive))
                return row;
        }
    }
    return -1;
}

FindBar::FindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("findBar"));
    auto* label = new QLabel(LoadString(StrFindLabel), this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("findEdit"));
    edit_->setClearButtonEnabled(true);
    edit_->setAccessibleName(LoadString(StrFindAccessibleName));
    label->setBuddy(edit_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(edit_, 1);
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { emit findRequested(text, true, false); });
    hide();
}

QString FindBar::text() const
{
    return edit_->text();
}

void FindBar::open()
{
    show();
    edit_->setFocus(Qt::ShortcutFocusReason);
    edit_->selectAll();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != edit_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F3:
        emit findRequested(edit_->text(), !(key->modifiers() & Qt::ShiftModifier), true);
        return true;
    case Qt::Key_Escape:
        hide();
        emit closed();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
