#include "hostlistcontrol.h"

HostListControl::HostListControl(const HostTable& table) : model_(table), selection_(&model_) {}

HostListControl::~HostListControl() = default;

void HostListControl::insertColumn(int position, const QString& title, int width,
                                   Qt::Alignment alignment)
{
    model_.setColumn(position, title, width, alignment);
}

void HostListControl::refill()
{
    model_.refill();
}

int HostListControl::insertRow(int /*requestedPosition*/, const QString& firstColumnText,
                               int entryIndex)
{
    // A sorted list places the row itself.
    return model_.insertSortedRow(firstColumnText, entryIndex);
}

void HostListControl::showEntryInRow(int row, int entryIndex)
{
    model_.showEntryInRow(row, entryIndex);
}

int HostListControl::rowCount() const
{
    return model_.rowCount();
}

int HostListControl::entryIndexOfRow(int row) const
{
    return model_.entryIndexOfRow(row);
}

int HostListControl::rowOfEntry(int entryIndex) const
{
    return model_.rowOfEntry(entryIndex);
}

void HostListControl::setSelected(int row, bool selected)
{
    if (row < 0 || row >= model_.rowCount())
        return;
    // Single selection: selecting a row deselects every other one in the same
    // (single) notification.
    const QModelIndex index = model_.index(row, 0);
    // A selected row also becomes the current one, so that arrow keys go on from it.
    if (selected)
        selection_.setCurrentIndex(index,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        selection_.select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

int HostListControl::firstSelectedRow() const
{
    int first = -1;
    for (const QItemSelectionRange& range : selection_.selection()) {
        if (first == -1 || range.top() < first)
            first = range.top();
    }
    return first;
}
