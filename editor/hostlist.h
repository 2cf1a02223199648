#pragma once

#include <QString>
#include <Qt>

// The sorted host list as the editing logic drives it. Rows are sorted when they
// are inserted; changing a row later does not move it. Every row carries the
// entry index of the entry it stands for.
//
// Every change of a row's selected state raises the item-changed notification
// synchronously, also when the editor itself selects or deselects a row.
class HostList
{
public:
    virtual ~HostList() = default;

    virtual void insertColumn(int position, const QString& title, int width,
                              Qt::Alignment alignment) = 0;

    // Replaces every row by one row per entry of the list's table, sorted by
    // hostname; no row is selected afterwards.
    virtual void refill() = 0;
    // Inserts a row whose first column shows `firstColumnText` and whose other
    // columns are empty. Returns the row's sorted position, or -1.
    virtual int insertRow(int requestedPosition, const QString& firstColumnText,
                          int entryIndex) = 0;
    // Makes every column of `row` show the current values of entry `entryIndex`.
    virtual void showEntryInRow(int row, int entryIndex) = 0;

    virtual int rowCount() const = 0;
    virtual int entryIndexOfRow(int row) const = 0;
    // The row that carries `entryIndex`, or -1.
    virtual int rowOfEntry(int entryIndex) const = 0;

    virtual void setSelected(int row, bool selected) = 0;
    // First selected row from the top, or -1.
    virtual int firstSelectedRow() const = 0;
};
