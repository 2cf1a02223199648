#pragma once

#include "hostwarnings.h"
#include "textencoding.h"

#include <QString>

class HostTable;

// The texts of the warnings in the current language. Names and other texts
// from the file go in as they are: show the result as plain text.

// One warning of entry `entry` of `table`, as HostWarnings::of() gives it.
QString WarningText(const HostTable& table, int entry, const Warning& warning);

// One warning about a line of the file whose texts are in `encoding`.
QString FileWarningText(const FileWarning& warning, TextEncoding encoding);
