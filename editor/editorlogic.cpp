#include "editorlogic.h"

#include "stringtable.h"
#include "textcodec.h"

namespace
{

constexpr int kListColumnWidth = 100;
const QString kNewRowText = QStringLiteral("?????");

} // namespace

EditorLogic::EditorLogic(HostTable& table, HostList& list, EditorDialogOps& dialog)
    : list_(list), dialog_(dialog), table_(table)
{
}

void EditorLogic::setCurrent(int row, int entry)
{
    currentRow_ = row;
    currentEntry_ = entry;
}

void EditorLogic::ShowLoadedTable()
{
    if (table_.size() > 0) {
        ShowEntry(0);
        RefillList();
    }
    setCurrent(-1, -1);
    EnableEntryControls(false);
}

void EditorLogic::InsertListColumns()
{
    static constexpr int kTitles[] = {StrColumnHostname, StrColumnDomain, StrColumnAddress,
                                      StrColumnPreload, StrColumnComment};
    for (int column = 0; column < 5; ++column) {
        const Qt::Alignment alignment = kTitles[column] == StrColumnPreload
                                            ? Qt::Alignment(Qt::AlignHCenter)
                                            : Qt::Alignment(Qt::AlignLeft);
        list_.insertColumn(column, LoadString(kTitles[column]), kListColumnWidth, alignment);
    }
}

void EditorLogic::RefillList()
{
    list_.refill();
}

void EditorLogic::UpdateCurrentRow(int entryIndex)
{
    if (currentRow_ < 0 || currentRow_ >= list_.rowCount())
        return;
    list_.showEntryInRow(currentRow_, entryIndex);
    // May re-enter OnListEvent.
    list_.setSelected(currentRow_, true);
}

void EditorLogic::EnableEntryControls(bool enable)
{
    static constexpr ControlId kOrder[] = {IdHostname, IdDomain,  IdOctet1,  IdOctet2, IdOctet3,
                                           IdOctet4,   IdPreload, IdComment, IdDelete, IdLookup};
    for (ControlId id : kOrder)
        dialog_.EnableControl(id, enable);
}

void EditorLogic::ShowEntry(int entryIndex)
{
    if (entryIndex >= 0 && entryIndex < table_.size())
        fields_ = table_.at(entryIndex);
    dialog_.TransferToControls();
}

void EditorLogic::StoreFieldsToEntry(int entryIndex)
{
    if (entryIndex >= 0 && entryIndex < table_.size())
        table_.at(entryIndex) = fields_;
}

void EditorLogic::SyncSelection()
{
    if (table_.size() == 0)
        return;
    // Entries whose list was never built (a load that failed half-way) get their
    // rows now, so that the row read below exists.
    if (list_.rowCount() == 0)
        RefillList();

    int row = list_.firstSelectedRow();
    if (row == -1) {
        // Raises item-changed: a nested SyncSelection may run (and rebuild the
        // list) before this call returns, so everything below is read afresh.
        list_.setSelected(0, true);
        row = 0;
    }
    currentRow_ = row;
    const int target = list_.entryIndexOfRow(row);

    bool rebuilt = false;
    if (modified_) {
        if (currentEntry_ == -1)
            table_.append(fields_);
        else
            StoreFieldsToEntry(currentEntry_);
        RefillList();
        rebuilt = true;
    }
    ShowEntry(target);
    modified_ = false;
    currentEntry_ = target;
    // The rebuild may have moved rows and cleared the selection: keep current row,
    // and the selection, on the entry being edited, so that the next field change
    // rewrites that entry's row and no other, and the click or key that caused
    // this sync does not find an empty selection and jump to row 0.
    if (rebuilt) {
        currentRow_ = list_.rowOfEntry(currentEntry_);
        list_.setSelected(currentRow_, true); // re-enters OnListEvent, which finds it clean
    }
}

void EditorLogic::OnFieldChanged()
{
    modified_ = true;
    // Whatever the transfer stored before a failed check is used.
    dialog_.TransferFromControls();
    if (currentEntry_ != -1) {
        StoreFieldsToEntry(currentEntry_);
        UpdateCurrentRow(currentEntry_);
    }
}

void EditorLogic::OnNewEntry()
{
    SyncSelection();

    const int selected = list_.firstSelectedRow();
    if (selected != -1)
        list_.setSelected(selected, false); // re-enters OnListEvent

    fields_ = HostEntry{};
    // A field change on an empty table leaves the flag set with no entry current;
    // the selection below would then append the cleared buffer as a second entry.
    modified_ = false;
    const int n = table_.append(fields_);
    const int r = list_.insertRow(0, kNewRowText, n);
    if (r != -1)
        list_.setSelected(r, true); // re-enters OnListEvent
    dialog_.TransferToControls();
    EnableEntryControls(true);
    currentEntry_ = n;
    currentRow_ = r;
    modified_ = true;
    dialog_.FocusControl(IdHostname);
}

void EditorLogic::OnDeleteEntry()
{
    SyncSelection();
    const int index = currentEntry_;
    if (index == -1)
        return;
    const QString hostname = DecodeText(table_.at(index).hostname, table_.encoding());
    if (!dialog_.AskYesNo(FormatString(StrDeletePrompt, hostname)))
        return;
    table_.removeAt(index);
    RefillList();
    dialog_.EnableControl(IdDelete, false);
    EnableEntryControls(false);
    currentEntry_ = -1;
    currentRow_ = -1;
}

int EditorLogic::OnListEvent()
{
    SyncSelection();
    EnableEntryControls(true);
    return 0;
}

void EditorLogic::OnLookup(
    const std::function<std::optional<std::string>(const HostEntry& fields)>& lookUp)
{
    // A failed check has told the user already; the lookup goes on with the fields as they are.
    dialog_.TransferFromControls();
    if (std::optional<std::string> name = lookUp(fields_))
        fields_.hostname = std::move(*name);
    dialog_.TransferToControls();
}
