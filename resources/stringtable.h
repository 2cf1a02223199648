#pragma once

#include <QString>

// Every text the program shows by number. The English texts live in stringtable.cpp,
// the German ones in translations/marlox_de.ts.
enum StringId : int {
    StrAboutMenuItem = 101,
    StrSocketInitFailed = 103,
    StrDeletePrompt = 104, // %1 = hostname
    StrLookupNetworkDown = 105,
    StrLookupHostNotFound = 106,
    StrLookupServerFailure = 107,
    StrLookupFailed = 108,
    StrColumnHostname = 109,
    StrColumnDomain = 110,
    StrColumnAddress = 111,
    StrColumnPreload = 112,
    StrColumnComment = 113,
    StrPreloadYes = 114,
    StrPreloadNo = 115,
    StrFileChangedOnDisk = 116,    // %1 = path
    StrCannotOpenForReading = 117, // %1 = path, %2 = the system's reason
    StrCannotRead = 118,           // %1 = path, %2 = the system's reason
    StrCannotOpenForWriting = 119, // %1 = path, %2 = the system's reason
    StrCannotWrite = 120,          // %1 = path, %2 = the system's reason
    StrEnterInteger = 121,
    StrEnterOctet = 122,
    StrEnterShortText = 123,
    StrCannotEncode = 124, // %1 = the character, %2 = the encoding's name
    StrNotRegularFile = 125,
    StrFileTooLarge = 126,
    StrUtf16File = 127,
    StrFileLocked = 128,
    StrReplaceUnreadFile = 129, // %1 = path
    // What Windows will read differently from what the list shows.
    StrWarnNameTooLong = 130,       // %1 = the name's length
    StrWarnServiceNameLength = 131, // %1 = the name's length, \0xNN counted as one
    StrWarnEmptyName = 132,
    StrWarnDuplicateUsed = 133,     // %1 = the later entry's address
    StrWarnDuplicateUsedMany = 134, // %1 = the first later entry's address, %2 = how many
    StrWarnDuplicateUnused = 135,   // %1 = the earlier entry's address
    StrWarnDomainWithoutPreload = 136,
    StrWarnLineReadsAs = 137, // %1 = the fields as read back, StrReadBack*
    StrReadBackAddress = 138, // %1 = address
    StrReadBackName = 139,    // %1 = name
    StrReadBackPreload = 140,
    StrReadBackNoPreload = 141,
    StrReadBackDomain = 142,      // %1 = domain
    StrReadBackComment = 143,     // %1 = comment
    StrWarnOctetOutOfRange = 144, // %1 = address
    StrWarnIncludeServer = 145,   // %1 = line number, %2 = server
    StrFindLabel = 146,
    StrFindAccessibleName = 147,
    StrWarningCountOne = 148,
    StrWarningCount = 149, // %1 = how many
    StrNextWarningTip = 150,
    StrLookupDnsItem = 151,
    StrLookupNetbiosItem = 152,
    StrNetbiosNoAnswer = 153, // %1 = address
    StrNetbiosNoName = 154,   // %1 = address
    StrNetbiosNetworkDown = 155,
    StrAccessibleHostList = 156,
    StrAccessibleOctet1 = 157,
    StrAccessibleOctet2 = 158,
    StrAccessibleOctet3 = 159,
    StrAccessibleOctet4 = 160,
    StrAlsoOnLine = 161, // %1 = words of the line no column shows
    StrLastId = StrAlsoOnLine,
};

// The text in the current language; an id without text yields an empty text.
QString LoadString(int id);

// Loads the string and replaces "%1" (and "%2") by the arguments in one pass, so an
// argument that itself contains "%2" is left as it is.
QString FormatString(int id, const QString& arg1);
QString FormatString(int id, const QString& arg1, const QString& arg2);

// Whether the user interface is German for these UI languages, most preferred
// first (as QLocale::uiLanguages() lists them): the first German or English
// entry decides; none of either means English.
bool PrefersGerman(const QStringList& uiLanguages);

// Installs the German texts (our own and Qt's) into the running application when
// the user's locale asks for German. Call once after creating the application
// object. Returns true when German was installed.
bool InstallTranslations();
