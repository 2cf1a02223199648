#pragma once

#include "editordialogops.h"
#include "hostlist.h"
#include "hosttable.h"

#include <functional>
#include <optional>
#include <string>

// Keeps the host list, the entry fields and the table in step. Part of the main
// window; talks to the screen only through HostList and EditorDialogOps.
// Handlers can run inside one another: the list raises its notifications synchronously.
class EditorLogic
{
public:
    // `table` and `list` outlive the logic; the list shows that table.
    EditorLogic(HostTable& table, HostList& list, EditorDialogOps& dialog);

    HostTable& table() { return table_; }
    const HostTable& table() const { return table_; }
    // The field buffer: what the entry controls show. Its fields mirror HostEntry.
    HostEntry& fields() { return fields_; }
    const HostEntry& fields() const { return fields_; }

    int currentRow() const { return currentRow_; }
    int currentEntry() const { return currentEntry_; }
    bool modified() const { return modified_; }
    // For the window's start-up and file-error paths.
    void setCurrent(int row, int entry);

    // The table as loaded: the first entry shown in the fields, every entry in the list,
    // nothing selected or being edited, the entry controls closed.
    void ShowLoadedTable();
    void InsertListColumns();
    void RefillList();
    void UpdateCurrentRow(int entryIndex);

    void EnableEntryControls(bool enable);
    void ShowEntry(int entryIndex);
    void StoreFieldsToEntry(int entryIndex);
    void SyncSelection();
    void OnFieldChanged();
    void OnNewEntry();
    void OnDeleteEntry();
    int OnListEvent();
    // The Lookup button. Reads the controls (a failed check does not stop it), asks
    // `lookUp` for a name for the address in the fields and writes the controls back,
    // the name in the hostname control. The entry takes the name only with the next
    // store: the table and the modified flag stay as they are. `lookUp` returns no name
    // when there is none, and tells the user why itself.
    void OnLookup(const std::function<std::optional<std::string>(const HostEntry& fields)>& lookUp);

private:
    HostList& list_;
    EditorDialogOps& dialog_;
    int currentRow_ = -1;
    int currentEntry_ = -1;
    HostEntry fields_;
    HostTable& table_;
    bool modified_ = false;
};
