#pragma once

#include "editordialogops.h"
#include "hostlist.h"
#include "hosttable.h"

// Keeps the host list, the entry fields and the table in step. Part of the main
// window; talks to the screen only through HostList and EditorDialogOps.
class EditorLogic
{
public:
    EditorLogic(HostList& list, EditorDialogOps& dialog);

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

private:
    HostList& list_;
    EditorDialogOps& dialog_;
    int currentRow_ = -1;
    int currentEntry_ = -1;
    HostEntry fields_;
    HostTable table_;
    bool modified_ = false;
};
