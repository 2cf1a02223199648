#pragma once

// Ids of the main window's controls; the editing logic names controls by them.
enum ControlId : int {
    IdSaveAndExit = 1,
    IdClose = 2,
    IdNew = 3,
    IdDelete = 4,
    IdPreload = 1001,
    IdDomain = 1003,
    IdHostname = 1004,
    IdOctet1 = 1005,
    IdOctet2 = 1006,
    IdOctet3 = 1007,
    IdOctet4 = 1008,
    IdComment = 1009,
    IdLookup = 1010,
    IdHostList = 1011,
};
