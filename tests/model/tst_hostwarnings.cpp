// What Windows will read differently from what the table shows.

#include "hosttable.h"
#include "hostwarnings.h"
#include "lmhostsline.h"

#include <QTest>

#include <map>
#include <random>

namespace
{

std::string Std(const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString Q(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The table the editor reads from `file`: one entry per entry line, none from
// a Ctrl-Z on.
HostTable TableOf(std::string_view file)
{
    HostTable table;
    if (file.starts_with("\xEF\xBB\xBF"))
        file.remove_prefix(3);
    while (!file.empty()) {
        const std::size_t nl = file.find('\n');
        std::string_view line = file.substr(0, nl);
        file.remove_prefix(nl == file.npos ? file.size() : nl + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.starts_with('\x1A'))
            break;
        if (std::optional<HostEntry> e = ParseLmhostsLine(line))
            table.append(*e);
    }
    return table;
}

// "N field=value" sets a field of entry N; "+ line" appends the entry of a line.
void Apply(HostTable& table, const QString& edit)
{
    if (edit.startsWith("+ ")) {
        table.append(ParseLmhostsLine(Std(edit.mid(2))).value());
        return;
    }
    const qsizetype space = edit.indexOf(' ');
    const qsizetype equals = edit.indexOf('=');
    HostEntry& e = table.at(edit.left(space).toInt());
    const QString field = edit.mid(space + 1, equals - space - 1);
    const QString value = edit.mid(equals + 1);
    if (field == "name")
        e.hostname = Std(value);
    else if (field == "domain")
        e.domain = Std(value);
    else if (field == "comment")
        e.comment = Std(value);
    else if (field == "pre")
        e.preload = value == "1";
    else if (field == "octet1")
        e.octet1 = value.toInt();
    else if (field == "octet4")
        e.octet4 = value.toInt();
    else
        qFatal("unknown field %s", qPrintable(field));
}

int EditedEntry(const HostTable& table, const QString& edit)
{
    return edit.startsWith("+ ") ? table.size() - 1 : edit.left(edit.indexOf(' ')).toInt();
}

const char* const KindNames[] = {"NameTooLong",        "ServiceNameLength", "EmptyName",
                                 "DuplicateUsed",      "DuplicateUnused",   "DomainWithoutPreload",
                                 "LineReadsOtherwise", "OctetOutOfRange"};

// "entry: Kind", with the other entry for duplicates and the differing fields
// read back for a line that cannot hold its entry; "line N: server" for the file.
QStringList Describe(const HostTable& table, const HostWarnings& w)
{
    QStringList out;
    for (int i = 0; i < table.size(); ++i) {
        for (const Warning& warning : w.of(i)) {
            QString s =
                QStringLiteral("%1: %2").arg(i).arg(KindNames[static_cast<int>(warning.kind)]);
            if (warning.other >= 0)
                s += QStringLiteral(" %1/%2").arg(warning.other).arg(warning.others);
            if (warning.kind == WarningKind::LineReadsOtherwise) {
                const HostEntry& e = table.at(i);
                const HostEntry read = ReadBackIfDifferent(e).value();
                if (read.octet1 != e.octet1 || read.octet4 != e.octet4)
                    s += QStringLiteral(" address=%1.%2.%3.%4")
                             .arg(read.octet1)
                             .arg(read.octet2)
                             .arg(read.octet3)
                             .arg(read.octet4);
                if (read.hostname != e.hostname)
                    s += " name=[" + Q(read.hostname) + "]";
                if (read.preload != e.preload)
                    s += QStringLiteral(" pre=%1").arg(read.preload);
                if (read.domain != e.domain)
                    s += " domain=[" + Q(read.domain) + "]";
                if (read.comment != e.comment)
                    s += " comment=[" + Q(read.comment) + "]";
            }
            out += s;
        }
    }
    for (const FileWarning& f : w.fileWarnings())
        out += QStringLiteral("line %1: %2").arg(f.line).arg(Q(f.server));
    return out;
}

// The totals and the walk over entries with warnings agree with of().
void CheckTotals(const HostTable& table, const HostWarnings& w)
{
    int warnings = static_cast<int>(w.fileWarnings().size());
    QList<int> withWarnings;
    for (int i = 0; i < table.size(); ++i) {
        warnings += static_cast<int>(w.of(i).size());
        if (!w.of(i).empty())
            withWarnings += i;
    }
    QCOMPARE(w.count(), warnings);
    QCOMPARE(w.entriesWithWarnings(), withWarnings.size());
    QList<int> walked;
    for (int i = w.nextEntryWithWarning(-1); i >= 0; i = w.nextEntryWithWarning(i))
        walked += i;
    QCOMPARE(walked, withWarnings);
}

} // namespace

class TestHostWarnings : public QObject
{
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void lineReadBackMatchesRoundTrip();
    void duplicatesInALargeTable();
    void incrementalEqualsRebuild();
};

void TestHostWarnings::rules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("expected");
    const QStringList none;

    // Name length.
    QTest::newRow("15 characters") << QByteArray("10.0.0.1 ABCDEFGHIJKLMNO") << none << none;
    QTest::newRow("16 characters")
        << QByteArray("10.0.0.1 ABCDEFGHIJKLMNOP") << none << QStringList{"0: NameTooLong"};
    QTest::newRow("service name of 16 bytes")
        << QByteArray("10.0.0.1 \"APPSRV         \\0x03\"") << none << none;
    QTest::newRow("service name of 15 bytes") << QByteArray("10.0.0.1 \"APPSRV        \\0x1B\"")
                                              << none << QStringList{"0: ServiceNameLength"};
    QTest::newRow("service name of 17 bytes") << QByteArray("10.0.0.1 \"APPSRV          \\0x03\"")
                                              << none << QStringList{"0: ServiceNameLength"};
    QTest::newRow("backslash without hex digits counts in full")
        << QByteArray("10.0.0.1 \"ABCDEFGHIJKL\\0xZZ\"") << none << QStringList{"0: NameTooLong"};

    // Empty name.
    QTest::newRow("new entries never typed")
        << QByteArray("10.0.0.1 a") << QStringList{"+ 0.0.0.0 \"\"", "+ 0.0.0.0 \"\""}
        << QStringList{"1: EmptyName", "2: EmptyName"};

    // The same name twice: the earlier one is used.
    QTest::newRow("same name in other case")
        << QByteArray("10.0.0.1 alpha\r\n10.0.0.2 \"ALPHA\"\r\n") << none
        << QStringList{"0: DuplicateUsed 1/1", "1: DuplicateUnused 0/1"};
    QTest::newRow("three of a name among others")
        << QByteArray("10.0.0.1 a\n10.0.0.2 b\n10.0.0.3 A\n10.0.0.4 a\n") << none
        << QStringList{"0: DuplicateUsed 2/2", "2: DuplicateUnused 0/2", "3: DuplicateUnused 0/2"};
    QTest::newRow("non-ASCII letters keep their case")
        << QByteArray("10.0.0.1 \xC3\xA4\n10.0.0.2 \xC3\x84\n") << none << none;
    QTest::newRow("added entry takes a used name")
        << QByteArray("10.0.0.1 srv") << QStringList{"+ 10.0.0.9 SRV"}
        << QStringList{"0: DuplicateUsed 1/1", "1: DuplicateUnused 0/1"};
    QTest::newRow("renamed entry leaves the name")
        << QByteArray("10.0.0.1 srv\n10.0.0.2 srv") << QStringList{"0 name=other"} << none;

    // #DOM: without #PRE.
    QTest::newRow("domain without #PRE")
        << QByteArray("10.0.0.1 dc #DOM:CORP") << none << QStringList{"0: DomainWithoutPreload"};
    QTest::newRow("domain with #PRE") << QByteArray("10.0.0.1 dc #PRE #DOM:CORP") << none << none;

    // Fields the written line cannot carry.
    QTest::newRow("quote in name") << QByteArray("10.0.0.1 x") << QStringList{"0 name=a\"b"}
                                   << QStringList{"0: LineReadsOtherwise name=[a]"};
    QTest::newRow("quote in name from the file")
        << QByteArray("10.0.0.1 a\"b") << none << QStringList{"0: LineReadsOtherwise name=[a]"};
    QTest::newRow("blank in domain")
        << QByteArray("10.0.0.1 x #PRE") << QStringList{"0 domain=CORP X"}
        << QStringList{"0: LineReadsOtherwise domain=[CORP]"};
    QTest::newRow("tab in domain")
        << QByteArray("10.0.0.1 x") << QStringList{"0 domain=A\tB"}
        << QStringList{"0: DomainWithoutPreload", "0: LineReadsOtherwise domain=[A]"};
    QTest::newRow("#PRE in comment")
        << QByteArray("10.0.0.1 x") << QStringList{"0 comment=not #PRE"}
        << QStringList{"0: LineReadsOtherwise pre=1"};
    QTest::newRow("#DOM: in name") << QByteArray("10.0.0.1 x") << QStringList{"0 name=a#DOM:b"}
                                   << QStringList{"0: LineReadsOtherwise domain=[b\"]"};
    QTest::newRow("#COMMENT: in domain")
        << QByteArray("10.0.0.1 x #PRE") << QStringList{"0 domain=X#COMMENT:y"}
        << QStringList{"0: LineReadsOtherwise comment=[y]"};
    QTest::newRow("line break in comment")
        << QByteArray("10.0.0.1 x") << QStringList{"0 comment=a\r\nb"}
        << QStringList{"0: LineReadsOtherwise comment=[a  b]"};
    QTest::newRow("line break in name") << QByteArray("10.0.0.1 x") << QStringList{"0 name=a\nb"}
                                        << QStringList{"0: LineReadsOtherwise name=[a b]"};
    QTest::newRow("hash and quote that read back")
        << QByteArray("10.0.0.1 x") << QStringList{"0 name=a#b", "0 comment=say \"#hi\""} << none;
    QTest::newRow("keywords a file line holds")
        << QByteArray("10.0.0.1 x #PRE #COMMENT:see #PRE") << none << none;

    // Octets.
    QTest::newRow("octet 255") << QByteArray("10.0.0.255 x") << none << none;
    QTest::newRow("octet 300 from the file")
        << QByteArray("10.0.0.300 x") << none << QStringList{"0: OctetOutOfRange"};
    QTest::newRow("negative octet") << QByteArray("10.0.0.1 x") << QStringList{"0 octet1=-1"}
                                    << QStringList{"0: OctetOutOfRange"};
    QTest::newRow("octet of four digits")
        << QByteArray("10.0.0.1 x") << QStringList{"0 octet4=1000"}
        << QStringList{"0: LineReadsOtherwise address=10.0.0.100", "0: OctetOutOfRange"};

    // #INCLUDE needs its server preloaded on an earlier line.
    QTest::newRow("include with server preloaded above")
        << QByteArray("10.0.0.1 srv #PRE\n#INCLUDE \\\\srv\\share\\lmhosts") << none << none;
    QTest::newRow("include with server not preloaded")
        << QByteArray("10.0.0.1 srv\n#INCLUDE \\\\srv\\share\\lmhosts") << none
        << QStringList{"line 2: srv"};
    QTest::newRow("include with server preloaded below")
        << QByteArray("#INCLUDE \\\\srv\\share\\lmhosts\n10.0.0.1 srv #PRE") << none
        << QStringList{"line 1: srv"};
    QTest::newRow("include with server in other case")
        << QByteArray("10.0.0.1 SRV #PRE\n#INCLUDE \\\\Srv\\share\\lmhosts") << none << none;
    QTest::newRow("include preloaded by the later of two")
        << QByteArray("10.0.0.1 srv\n10.0.0.2 srv #PRE\n#INCLUDE \\\\srv\\s\\f") << none
        << QStringList{"0: DuplicateUsed 1/1", "1: DuplicateUnused 0/1"};
    QTest::newRow("include in an alternate block, CRLF")
        << QByteArray("10.0.0.1 srv\r\n#BEGIN_ALTERNATE\r\n  #INCLUDE \"\\\\srv\\s\\f\"\r\n"
                      "#END_ALTERNATE\r\n")
        << none << QStringList{"line 3: srv"};
    QTest::newRow("include of a local file") << QByteArray("#INCLUDE C:\\lmhosts") << none << none;
    QTest::newRow("lower-case keyword is a comment")
        << QByteArray("#include \\\\srv\\s\\f") << none << none;
    QTest::newRow("longer keyword is a comment")
        << QByteArray("#INCLUDES \\\\srv\\s\\f") << none << none;
    QTest::newRow("include after byte-order mark")
        << QByteArray("\xEF\xBB\xBF#INCLUDE \\\\srv\\s\\f") << none << QStringList{"line 1: srv"};
    QTest::newRow("include after Ctrl-Z is not read")
        << QByteArray("10.0.0.1 a\n\x1A\n#INCLUDE \\\\srv\\s\\f") << none << none;
    QTest::newRow("added entry comes after the include")
        << QByteArray("#INCLUDE \\\\srv\\s\\f") << QStringList{"+ 10.0.0.1 srv #PRE"}
        << QStringList{"line 1: srv"};
    QTest::newRow("preload typed above the include")
        << QByteArray("10.0.0.1 x\n#INCLUDE \\\\srv\\s\\f") << QStringList{"0 name=SRV", "0 pre=1"}
        << none;
}

void TestHostWarnings::rules()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, expected);
    const std::string bytes(file.constData(), static_cast<std::size_t>(file.size()));

    // All at once, after the edits.
    HostTable table = TableOf(bytes);
    for (const QString& edit : edits)
        Apply(table, edit);
    HostWarnings all;
    all.rebuild(table, bytes);
    QCOMPARE(Describe(table, all), expected);
    CheckTotals(table, all);

    // Edit by edit, as the editor reports them.
    HostTable edited = TableOf(bytes);
    HostWarnings step;
    step.rebuild(edited, bytes);
    for (const QString& edit : edits) {
        Apply(edited, edit);
        step.entryChanged(edited, EditedEntry(edited, edit));
    }
    QCOMPARE(Describe(edited, step), expected);
    CheckTotals(edited, step);
}

void TestHostWarnings::lineReadBackMatchesRoundTrip()
{
    // Only entries with certain bytes are read back in full; none that reads
    // back otherwise may slip through.
    const std::string alphabet = "aB #\"\t\r\nPREDOMCOMENT:x\\0";
    std::mt19937 random(7);
    auto text = [&] {
        std::string s;
        for (int n = static_cast<int>(random() % 10); n > 0; --n)
            s += alphabet[random() % alphabet.size()];
        return s;
    };
    const int octets[] = {0, 7, 255, 256, 999, 1000, -1, -99, -100};
    HostTable table;
    for (int i = 0; i < 5000; ++i) {
        HostEntry e;
        e.hostname = text();
        e.domain = random() % 2 ? text() : std::string();
        e.comment = random() % 2 ? text() : std::string();
        e.octet1 = octets[random() % std::size(octets)];
        e.octet4 = octets[random() % std::size(octets)];
        e.preload = random() % 2;
        table.append(e);
    }
    HostWarnings w;
    w.rebuild(table, {});
    int differing = 0;
    for (int i = 0; i < table.size(); ++i) {
        std::string line = FormatLmhostsLine(table.at(i));
        line.pop_back();
        const bool differs = ParseLmhostsLine(line) != table.at(i);
        differing += differs;
        bool warned = false;
        for (const Warning& warning : w.of(i))
            warned |= warning.kind == WarningKind::LineReadsOtherwise;
        QVERIFY2(warned == differs, qPrintable(Q(line)));
    }
    QVERIFY(differing > 100);
}

void TestHostWarnings::duplicatesInALargeTable()
{
    // Enough names that some share the bits of the hash the pass sorts by.
    std::mt19937 random(11);
    HostTable table;
    std::map<std::string, std::vector<int>> byName;
    for (int i = 0; i < 40000; ++i) {
        const std::string name = "Host-" + std::to_string(random() % 30000);
        HostEntry e;
        e.hostname = name;
        if (random() % 2)
            e.hostname[0] = 'h';
        e.octet1 = 10;
        table.append(e);
        byName[name].push_back(i);
    }
    std::vector<std::vector<Warning>> expected(static_cast<std::size_t>(table.size()));
    for (const auto& [name, entries] : byName) {
        const int others = static_cast<int>(entries.size()) - 1;
        if (others == 0)
            continue;
        expected[static_cast<std::size_t>(entries[0])] = {
            Warning{WarningKind::DuplicateUsed, entries[1], others}};
        for (std::size_t k = 1; k < entries.size(); ++k)
            expected[static_cast<std::size_t>(entries[k])] = {
                Warning{WarningKind::DuplicateUnused, entries[0], others}};
    }
    HostWarnings w;
    w.rebuild(table, {});
    for (int i = 0; i < table.size(); ++i)
        QVERIFY2(w.of(i) == expected[static_cast<std::size_t>(i)], qPrintable(QString::number(i)));
    CheckTotals(table, w);
}

void TestHostWarnings::incrementalEqualsRebuild()
{
    // The file as lines: entry lines stand for the table's entries in order; a
    // removed entry's line turns into a comment, so line numbers stay.
    std::mt19937 random(2024);
    const std::string names[] = {"alpha",
                                 "ALPHA",
                                 "Beta",
                                 "beta",
                                 "srv",
                                 "SRV",
                                 "gamma",
                                 "",
                                 "ABCDEFGHIJKLMNOPQ",
                                 "\"APPSRV         \\0x03\""};
    const auto pick = [&] {
        return names[random() % std::size(names)];
    };
    struct Line {
        bool entry;
        std::string text;
    };
    std::vector<Line> lines;
    HostTable table;
    for (int i = 0; i < 200; ++i) {
        if (i % 25 == 0)
            lines.push_back({false, random() % 2 ? "#INCLUDE \\\\srv\\share\\lmhosts"
                                                 : "#INCLUDE \\\\Beta\\share\\lmhosts"});
        HostEntry e;
        e.hostname = pick();
        e.octet1 = 10;
        e.octet4 = i;
        e.preload = random() % 4 == 0;
        e.domain = random() % 8 == 0 ? "CORP" : "";
        table.append(e);
        lines.push_back({true, {}});
    }
    const auto fileOf = [&] {
        std::string file;
        int entry = 0;
        for (const Line& l : lines) {
            if (!l.entry)
                file += l.text + "\n";
            else
                file += FormatLmhostsLine(table.at(entry++));
        }
        return file;
    };

    HostWarnings w;
    w.rebuild(table, fileOf());
    for (int round = 0; round < 3000; ++round) {
        const int op = static_cast<int>(random() % 20);
        const int i = static_cast<int>(random() % static_cast<unsigned>(table.size()));
        QString what;
        if (op == 0 && table.size() > 150) {
            table.removeAt(i);
            int entry = 0;
            for (Line& l : lines) {
                if (l.entry && entry++ == i) {
                    l = {false, "# removed"};
                    break;
                }
            }
            w.entryRemoved(table, i);
            what = QStringLiteral("remove %1").arg(i);
        } else if (op == 1) {
            HostEntry e;
            e.hostname = pick();
            e.preload = random() % 2;
            table.append(e);
            lines.push_back({true, {}});
            w.entryChanged(table, table.size() - 1);
            what = "append";
        } else {
            HostEntry& e = table.at(i);
            if (op < 12)
                e.hostname = pick();
            else if (op < 16)
                e.preload = !e.preload;
            else if (op < 18)
                e.domain = e.domain.empty() ? "CORP" : "";
            else
                e.octet2 = random() % 2 ? 1 : 300;
            w.entryChanged(table, i);
            what = QStringLiteral("edit %1").arg(i);
        }
        HostWarnings fresh;
        fresh.rebuild(table, fileOf());
        const QStringList expected = Describe(table, fresh);
        QVERIFY(!expected.isEmpty());
        const QStringList got = Describe(table, w);
        if (got != expected || w.count() != fresh.count() ||
            w.entriesWithWarnings() != fresh.entriesWithWarnings())
            qWarning() << "after round" << round << what;
        QCOMPARE(got, expected);
        QCOMPARE(w.count(), fresh.count());
        QCOMPARE(w.entriesWithWarnings(), fresh.entriesWithWarnings());
    }
}

QTEST_APPLESS_MAIN(TestHostWarnings)
#include "tst_hostwarnings.moc"
