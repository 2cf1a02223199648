// Loads the LMHOSTS file below $SystemRoot, adds one entry and saves it with the
// check for other programs' changes, as Save & Exit does. The save tests run it
// as an ordinary user. Prints the outcome; exit status 0 when it saved.

#include "lmhostsfile.h"

#include <cstdio>

int main()
{
    HostTable table;
    try {
        LoadHostTable(table);
    } catch (const FileError& error) {
        std::printf("load: %s\n", error.what());
    }
    table.append(HostEntry{"probe", "", "", 10, 9, 9, 9, false});
    try {
        switch (SaveHostTable(table)) {
        case SaveResult::Saved:
            std::printf("saved\n");
            return 0;
        case SaveResult::ChangedOnDisk:
            std::printf("changed on disk\n");
            return 2;
        case SaveResult::NotReadAtLoad:
            std::printf("not read at load\n");
            return 3;
        }
    } catch (const FileError& error) {
        std::printf("save: %s\n", error.what());
    }
    return 1;
}
