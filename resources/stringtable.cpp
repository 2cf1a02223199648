#include "stringtable.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <iterator>

namespace
{

struct StringEntry {
    int id;
    const char* text;
};

// Sorted by id.
constexpr StringEntry kStrings[] = {
    {StrAboutMenuItem, QT_TRANSLATE_NOOP("Strings", "&About Marlox...")},
    {StrSocketInitFailed, QT_TRANSLATE_NOOP("Strings", "Windows sockets initialization failed.")},
    {StrDeletePrompt,
     QT_TRANSLATE_NOOP("Strings", "Do you realy want to delete %1 from your LMHOST file?")},
    {StrLookupNetworkDown,
     QT_TRANSLATE_NOOP("Strings", "Cannot lookup adress, network is down.\nConnect to your "
                                  "internet service provider or network and try again.")},
    {StrLookupHostNotFound,
     QT_TRANSLATE_NOOP("Strings", "Host specified by IP adress not found.\nMaybe the adress is "
                                  "wrong or the host has no DNS entry.")},
    {StrLookupServerFailure,
     QT_TRANSLATE_NOOP("Strings", "Non-Authoritative Host not found, or server failure.\nCheck "
                                  "your network and try again.")},
    {StrLookupFailed, QT_TRANSLATE_NOOP("Strings", "Error requesting hostname from network.")},
    {StrColumnHostname, QT_TRANSLATE_NOOP("Strings", "Hostname")},
    {StrColumnDomain, QT_TRANSLATE_NOOP("Strings", "Domain")},
    {StrColumnAddress, QT_TRANSLATE_NOOP("Strings", "IP Adress")},
    {StrColumnPreload, QT_TRANSLATE_NOOP("Strings", "Preload")},
    {StrColumnComment, QT_TRANSLATE_NOOP("Strings", "Comment")},
    {StrPreloadYes, QT_TRANSLATE_NOOP("Strings", "yes")},
    {StrPreloadNo, QT_TRANSLATE_NOOP("Strings", "no")},
    {StrFileChangedOnDisk,
     QT_TRANSLATE_NOOP("Strings", "The file %1 has been changed by another program since it was "
                                  "read.\nDo you want to overwrite it?")},
    {StrCannotOpenForReading, QT_TRANSLATE_NOOP("Strings", "Cannot open %1 for reading:\n%2")},
    {StrCannotRead, QT_TRANSLATE_NOOP("Strings", "Cannot read %1:\n%2")},
    {StrCannotOpenForWriting, QT_TRANSLATE_NOOP("Strings", "Cannot open %1 for writing:\n%2")},
    {StrCannotWrite, QT_TRANSLATE_NOOP("Strings", "Cannot write %1:\n%2")},
    {StrEnterInteger, QT_TRANSLATE_NOOP("Strings", "Please enter an integer.")},
    {StrEnterOctet, QT_TRANSLATE_NOOP("Strings", "Please enter an integer between 0 and 255.")},
    {StrEnterShortText, QT_TRANSLATE_NOOP("Strings", "Please enter no more than 512 characters.")},
    {StrCannotEncode,
     QT_TRANSLATE_NOOP("Strings", "The character \"%1\" cannot be stored in the LMHOSTS file, "
                                  "because the file is written in %2.")},
    {StrNotRegularFile, QT_TRANSLATE_NOOP("Strings", "It is not a regular file.")},
    {StrFileTooLarge,
     QT_TRANSLATE_NOOP("Strings", "The file is too large: it has more than 1 GiB, or more than "
                                  "the memory can hold.")},
    {StrUtf16File,
     QT_TRANSLATE_NOOP("Strings", "The file is written in UTF-16 (\"Unicode\"), which Marlox "
                                  "cannot edit. Save it as ANSI or UTF-8 with a text editor "
                                  "first.")},
    {StrFileLocked,
     QT_TRANSLATE_NOOP("Strings", "Another program keeps the file locked. Try again later.")},
    {StrReplaceUnreadFile,
     QT_TRANSLATE_NOOP("Strings", "The file %1 could not be read when Marlox started, so its "
                                  "content is not in the list.\nDo you want to replace it with "
                                  "the entries shown?")},
    {StrWarnNameTooLong,
     QT_TRANSLATE_NOOP("Strings", "The name has %1 characters, but a NetBIOS name has at most "
                                  "15.")},
    {StrWarnServiceNameLength,
     QT_TRANSLATE_NOOP("Strings", "With its \\0xNN code the name makes %1 bytes, but Windows "
                                  "needs exactly 16: 15 characters, padded with blanks, and the "
                                  "code.")},
    {StrWarnEmptyName,
     QT_TRANSLATE_NOOP("Strings", "The entry has no name. Enter one, or delete the entry.")},
    {StrWarnDuplicateUsed,
     QT_TRANSLATE_NOOP("Strings", "The entry with the address %1 has the same name, but comes "
                                  "later: Windows uses this entry and never that one.")},
    {StrWarnDuplicateUsedMany,
     QT_TRANSLATE_NOOP("Strings", "%2 later entries have the same name, the first with the "
                                  "address %1: Windows uses this entry and never those.")},
    {StrWarnDuplicateUnused,
     QT_TRANSLATE_NOOP("Strings", "Windows never uses this entry: the earlier entry with the "
                                  "address %1 has the same name.")},
    {StrWarnDomainWithoutPreload,
     QT_TRANSLATE_NOOP("Strings", "#DOM: needs #PRE on the same line, otherwise Windows does "
                                  "not preload the entry.")},
    {StrWarnLineReadsAs,
     QT_TRANSLATE_NOOP("Strings", "The line cannot hold this entry as it is; Windows will read "
                                  "it as: %1.")},
    {StrReadBackAddress, QT_TRANSLATE_NOOP("Strings", "address %1")},
    {StrReadBackName, QT_TRANSLATE_NOOP("Strings", "name \"%1\"")},
    {StrReadBackPreload, QT_TRANSLATE_NOOP("Strings", "with #PRE")},
    {StrReadBackNoPreload, QT_TRANSLATE_NOOP("Strings", "without #PRE")},
    {StrReadBackDomain, QT_TRANSLATE_NOOP("Strings", "domain \"%1\"")},
    {StrReadBackComment, QT_TRANSLATE_NOOP("Strings", "comment \"%1\"")},
    {StrWarnOctetOutOfRange,
     QT_TRANSLATE_NOOP("Strings", "The address %1 has a part outside 0 to 255.")},
    {StrWarnIncludeServer,
     QT_TRANSLATE_NOOP("Strings", "Line %1: #INCLUDE reads from the server %2, but no earlier "
                                  "line maps %2 with #PRE, so Windows cannot find it.")},
    {StrFindLabel, QT_TRANSLATE_NOOP("Strings", "Find:")},
    {StrFindAccessibleName, QT_TRANSLATE_NOOP("Strings", "Find in the host table")},
    {StrWarningCountOne, QT_TRANSLATE_NOOP("Strings", "1 warning")},
    {StrWarningCount, QT_TRANSLATE_NOOP("Strings", "%1 warnings")},
    {StrNextWarningTip, QT_TRANSLATE_NOOP("Strings", "Go to the next entry with a warning (F8)")},
    {StrLookupDnsItem, QT_TRANSLATE_NOOP("Strings", "Look up the &DNS name")},
    {StrLookupNetbiosItem, QT_TRANSLATE_NOOP("Strings", "Look up the &NetBIOS name")},
    {StrNetbiosNoAnswer,
     QT_TRANSLATE_NOOP("Strings", "No answer from %1 to a NetBIOS name query.\nThe host may be "
                                  "down, or it does not answer NetBIOS queries (UDP port 137).")},
    {StrNetbiosNoName,
     QT_TRANSLATE_NOOP("Strings", "The host at %1 answered, but named no workstation.")},
    {StrNetbiosNetworkDown,
     QT_TRANSLATE_NOOP("Strings", "Cannot look up the NetBIOS name, the network is down.\nConnect "
                                  "to your network and try again.")},
    {StrAccessibleHostList, QT_TRANSLATE_NOOP("Strings", "Host table")},
    {StrAccessibleOctet1, QT_TRANSLATE_NOOP("Strings", "First part of the IP address")},
    {StrAccessibleOctet2, QT_TRANSLATE_NOOP("Strings", "Second part of the IP address")},
    {StrAccessibleOctet3, QT_TRANSLATE_NOOP("Strings", "Third part of the IP address")},
    {StrAccessibleOctet4, QT_TRANSLATE_NOOP("Strings", "Fourth part of the IP address")},
    {StrAlsoOnLine, QT_TRANSLATE_NOOP("Strings", "Also on its line: %1")},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const StringEntry& a, const StringEntry& b) {
                                 return a.id < b.id;
                             }));

QString Substitute(const QString& pattern, const QString* args, int argCount)
{
    QString result;
    result.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'%' && i + 1 < pattern.size()) {
            const int n = pattern.at(i + 1).digitValue();
            if (n >= 1 && n <= argCount) {
                result += args[n - 1];
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

} // namespace

QString LoadString(int id)
{
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const StringEntry& e, int key) { return e.id < key; });
    if (it == std::end(kStrings) || it->id != id)
        return {};
    return QCoreApplication::translate("Strings", it->text);
}

QString FormatString(int id, const QString& arg1)
{
    return Substitute(LoadString(id), &arg1, 1);
}

QString FormatString(int id, const QString& arg1, const QString& arg2)
{
    const QString args[] = {arg1, arg2};
    return Substitute(LoadString(id), args, 2);
}

bool PrefersGerman(const QStringList& uiLanguages)
{
    for (const QString& name : uiLanguages) {
        const QLocale::Language language = QLocale(name).language();
        if (language == QLocale::German)
            return true;
        // "C" and "POSIX" are the untranslated program: English.
        if (language == QLocale::English || language == QLocale::C)
            return false;
    }
    return false;
}

bool InstallTranslations()
{
    auto* app = QCoreApplication::instance();
    if (app == nullptr || !PrefersGerman(QLocale::system().uiLanguages()))
        return false;

    // Once per application object, however often it is called.
    if (app->findChild<QTranslator*>(QStringLiteral("marlox_de"), Qt::FindDirectChildrenOnly))
        return true;

    auto* own = new QTranslator(app);
    own->setObjectName(QStringLiteral("marlox_de"));
    const bool installed = own->load(QStringLiteral(":/i18n/marlox_de.qm"));
    if (installed)
        QCoreApplication::installTranslator(own);
    else
        delete own;

    // Qt's own texts ("Yes", "No", context menus of the edits).
    auto* qt = new QTranslator(app);
    if (qt->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return installed;
}
