#pragma once

#include "editordialogops.h"
#include "hostentry.h"
#include "nameresolver.h"

#include <QString>
#include <functional>

// Text id of the message for a lookup that found no name.
int LookupMessageId(LookupStatus status);

// The host name as it goes into the hostname field: dots become dashes.
std::string HostnameFromLookup(std::string name);

// The Lookup button: fills the hostname field from the name the resolver gives for the
// address in the fields. Reads the controls first (a failed check does not stop it) and
// writes them back at the end; leaves the table and the modified flag alone.
// showMessage shows a failure text in a box with an OK button.
void RunLookup(EditorDialogOps& dialog, HostEntry& fields, NameResolver& resolver,
               const std::function<void(const QString&)>& showMessage);
