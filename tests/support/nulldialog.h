#pragma once

#include "editordialogops.h"

// A window that shows nothing, accepts every transfer and answers No: for list
// and logic checks that only need the editing logic to run.
class NullDialog : public EditorDialogOps
{
public:
    void TransferToControls() override {}
    bool TransferFromControls() override { return true; }
    void EnableControl(ControlId, bool) override {}
    void FocusControl(ControlId) override {}
    bool AskYesNo(const QString&) override { return false; }
};
