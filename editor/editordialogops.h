#pragma once

#include "controlids.h"

#include <QString>

// What the editing logic needs from the window around it. The real window binds
// these to its widgets; tests substitute their own.
class EditorDialogOps
{
public:
    virtual ~EditorDialogOps() = default;

    // Writes the whole field buffer into the entry controls. Raises no change events.
    virtual void TransferToControls() = 0;
    // Reads the entry controls into the field buffer in binding order. At the first
    // invalid value: tells the user, focuses that control, stops and returns false.
    virtual bool TransferFromControls() = 0;
    virtual void EnableControl(ControlId id, bool enable) = 0;
    virtual void FocusControl(ControlId id) = 0;
    // Modal question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& question) = 0;
};
