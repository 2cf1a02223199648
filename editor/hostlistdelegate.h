#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

// Draws the host list's cells: a warning sign before the name of an entry that
// Windows will read otherwise, and as tooltip a cell's whole text when the column
// cuts it, followed by the row's own tooltip.
class HostListDelegate : public QStyledItemDelegate
{
public:
    explicit HostListDelegate(QObject* parent);

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // The tooltip text helpEvent shows for the cell, drawn `width` pixels wide.
    QString toolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QIcon warningIcon_;
};
