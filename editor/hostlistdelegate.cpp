#include "hostlistdelegate.h"

#include "hostlistmodel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

HostListDelegate::HostListDelegate(QObject* parent)
    : QStyledItemDelegate(parent),
      warningIcon_(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning))
{
}

void HostListDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(HostListModel::kWarningRole).toBool()) {
        option->icon = warningIcon_;
        option->features |= QStyleOptionViewItem::HasDecoration;
    }
}

QString HostListDelegate::toolTip(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QString tip;
    // The text the cell has room for, as the style lays it out.
    const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
    const auto* model = qobject_cast<const HostListModel*>(index.model());
    const QString whole = model ? model->cellText(index.row(), index.column()) : cell.text;
    if (whole != cell.text ||
        cell.fontMetrics.horizontalAdvance(whole) > textRect.width() - 2 * margin)
        tip = whole;
    const QString rowTip = index.data(Qt::ToolTipRole).toString();
    if (!rowTip.isEmpty())
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n")) + rowTip;
    return tip;
}

bool HostListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = toolTip(option, index);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // Plain text: names from the file are never markup. A very long cell text is
    // the cell's own business; the tooltip shows its start.
    QToolTip::showText(event->globalPos(), tip.left(4000).toHtmlEscaped().replace(u'\n', "<br>"),
                       view->viewport(), option.rect);
    return true;
}
