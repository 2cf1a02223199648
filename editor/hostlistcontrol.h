#pragma once

#include "hostlist.h"
#include "hostlistmodel.h"

#include <QItemSelectionModel>

// The list control the editing logic drives: the rows plus their single selection.
// Every selection change, also one made through this class, emits the selection
// model's selectionChanged() before the call returns; that signal is the list's
// item-changed notification. The one exception is refill(): a rebuild leaves no
// row selected without a notification, as a list control's delete-all does.
class HostListControl : public HostList
{
public:
    // Shows `table`, which outlives the control.
    explicit HostListControl(const HostTable& table);
    ~HostListControl() override;

    HostListModel* model() { return &model_; }
    const HostListModel* model() const { return &model_; }
    QItemSelectionModel* selectionModel() { return &selection_; }

    void insertColumn(int position, const QString& title, int width,
                      Qt::Alignment alignment) override;
    void refill() override;
    int insertRow(int requestedPosition, const QString& firstColumnText, int entryIndex) override;
    void showEntryInRow(int row, int entryIndex) override;

    int rowCount() const override;
    int entryIndexOfRow(int row) const override;
    int rowOfEntry(int entryIndex) const override;

    void setSelected(int row, bool selected) override;
    int firstSelectedRow() const override;

private:
    HostListModel model_;
    QItemSelectionModel selection_;
};
