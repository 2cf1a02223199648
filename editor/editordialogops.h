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
    // A value that fails only its range or length check is still stored (an octet
    // outside 0..255 written in three characters at most, a name over its length
    // limit): what the user typed is not lost. A value that is no number, or one the
    // file could not carry as it is, is not.
    virtual bool TransferFromControls() = 0;
    virtual void EnableControl(ControlId id, bool enable) = 0;
    virtual void FocusControl(ControlId id) = 0;
    // Modal question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& question) = 0;
};
