// The LMHOSTS line format and whole-file reading and writing on bytes.

#include "hosttable.h"
#include "lmhostsformat.h"
#include "textcodec.h"

#include <QTest>

#include <cstdio>
#include <stdexcept>

Q_DECLARE_METATYPE(HostEntry)
Q_DECLARE_METATYPE(TextEncoding)

namespace
{

std::string Bytes(const QByteArray& a)
{
    return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

QByteArray Qb(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// A literal with NUL bytes in it, all of it.
template <std::size_t N> QByteArray Raw(const char (&s)[N])
{
    return QByteArray(s, N - 1);
}

HostEntry Entry(std::string name, int o1, int o2, int o3, int o4, bool preload = false,
                const char* domain = "", const char* comment = "")
{
    HostEntry e;
    e.hostname = std::move(name);
    e.domain = domain;
    e.comment = comment;
    e.octet1 = o1;
    e.octet2 = o2;
    e.octet3 = o3;
    e.octet4 = o4;
    e.preload = preload;
    return e;
}

QString Describe(const HostEntry& e)
{
    return QStringLiteral("%1.%2.%3.%4 name[%5] dom[%6] com[%7] pre=%8")
        .arg(e.octet1)
        .arg(e.octet2)
        .arg(e.octet3)
        .arg(e.octet4)
        .arg(QString::fromLatin1(e.hostname), QString::fromLatin1(e.domain),
             QString::fromLatin1(e.comment))
        .arg(e.preload);
}

HostTable Read(const QByteArray& bytes)
{
    HostTable table;
    ReadHostTable(Bytes(bytes), table);
    return table;
}

QByteArray Write(const HostTable& table)
{
    return Qb(WriteHostTable(table));
}

// Applies a small edit script: "name I TEXT", "octet4 I N", "comment I TEXT",
// "preload I 0|1", "domain I TEXT", "remove I", "append NAME"; ";" separates steps.
void Apply(HostTable& table, const QString& script)
{
    for (QString step : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        while (step.startsWith(QLatin1Char(' ')))
            step.remove(0, 1);
        const QStringList w = step.split(QLatin1Char(' '));
        const QString& verb = w.at(0);
        if (verb == QLatin1String("append")) {
            table.append(Entry(w.at(1).toLatin1().constData(), 10, 0, 0, 99));
            continue;
        }
        const int i = w.at(1).toInt();
        const std::string arg = w.size() > 2 ? w.mid(2).join(QLatin1Char(' ')).toStdString() : "";
        if (verb == QLatin1String("name"))
            table.at(i).hostname = arg;
        else if (verb == QLatin1String("octet4"))
            table.at(i).octet4 = std::stoi(arg);
        else if (verb == QLatin1String("comment"))
            table.at(i).comment = arg;
        else if (verb == QLatin1String("domain"))
            table.at(i).domain = arg;
        else if (verb == QLatin1String("preload"))
            table.at(i).preload = arg == "1";
        else if (verb == QLatin1String("remove"))
            table.removeAt(i);
        else
            throw std::logic_error("unknown edit");
    }
}

} // namespace

class TestLmhostsFormat : public QObject
{
    Q_OBJECT

private slots:
    void tableKeepsOrder();
    void parseLine_data();
    void parseLine();
    void addressScan_data();
    void addressScan();
    void octetsStartAtZeroOnEveryLine();
    void formatLine_data();
    void formatLine();
    void formattedLineReadsBack_data();
    void formattedLineReadsBack();
    void unchangedTableWritesSameBytes_data();
    void unchangedTableWritesSameBytes();
    void editsKeepOtherLines_data();
    void editsKeepOtherLines();
    void savedFileBecomesBaseline();
    void entryTheLineCannotHoldIsStable();
    void failedWriteLeavesTable();
    void detectEncoding_data();
    void detectEncoding();
    void transferKeepsUntouchedFields_data();
    void transferKeepsUntouchedFields();
    void ctrlZEndsEntries_data();
    void ctrlZEndsEntries();
};

void TestLmhostsFormat::tableKeepsOrder()
{
    HostTable table;
    QCOMPARE(table.append(Entry("a", 1, 0, 0, 0)), 0);
    QCOMPARE(table.append(Entry("b", 2, 0, 0, 0)), 1);
    QCOMPARE(table.append(Entry("c", 3, 0, 0, 0)), 2);
    HostEntry copy = table.at(1);
    table.at(1).hostname = "changed";
    QCOMPARE(copy.hostname, std::string("b"));

    table.removeAt(1);
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.at(0).hostname, std::string("a"));
    QCOMPARE(table.at(1).hostname, std::string("c"));
    table.removeAt(0);
    table.removeAt(0);
    QCOMPARE(table.size(), 0);
    QCOMPARE(table.encoding(), TextEncoding::Windows1252);
}

void TestLmhostsFormat::parseLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("isEntry");
    QTest::addColumn<HostEntry>("expected");

    QTest::newRow("keywords, trailing remark dropped")
        << QByteArray("192.168.1.20     alpha      #PRE #DOM:office  #main server") << true
        << Entry("alpha", 192, 168, 1, 20, true, "office");
    QTest::newRow("quoted name with space")
        << QByteArray("10.0.0.1\t\"my server\"") << true << Entry("my server", 10, 0, 0, 1);
    QTest::newRow("quote not closed")
        << QByteArray("10.0.0.1 \"open ended #x") << true << Entry("open ended #x", 10, 0, 0, 1);
    QTest::newRow("plain name") << QByteArray("10.0.0.1 beta") << true
                                << Entry("beta", 10, 0, 0, 1);
    QTest::newRow("dots in name kept")
        << QByteArray("10.0.0.1 alpha.beta") << true << Entry("alpha.beta", 10, 0, 0, 1);
    QTest::newRow("octal octets") << QByteArray("010.001.002.003 gamma") << true
                                  << Entry("gamma", 8, 1, 2, 3);
    QTest::newRow("three octets, fourth is 0")
        << QByteArray("1.2.3 delta") << true << Entry("delta", 1, 2, 3, 0);
    QTest::newRow("no range check")
        << QByteArray("300.1.1.1 big") << true << Entry("big", 300, 1, 1, 1);
    QTest::newRow("leading blanks")
        << QByteArray(" \t\v\f\r10.0.0.1 lead") << true << Entry("lead", 10, 0, 0, 1);
    QTest::newRow("comment line") << QByteArray("   # anything") << false << HostEntry{};
    QTest::newRow("empty line") << QByteArray("") << false << HostEntry{};
    QTest::newRow("blank line") << QByteArray(" \t \r") << false << HostEntry{};
    QTest::newRow("#PRE line is a comment")
        << QByteArray("  #PRE 1.2.3.4 x") << false << HostEntry{};
    QTest::newRow("#INCLUDE line")
        << QByteArray("#INCLUDE \\\\srv\\share\\lmhosts") << false << HostEntry{};
    QTest::newRow("empty comment")
        << QByteArray("10.0.0.1 e #COMMENT:") << true << Entry("e", 10, 0, 0, 1);
    QTest::newRow("keywords inside comment")
        << QByteArray("10.0.0.2 epsilon #COMMENT:moved from #DOM:OLD") << true
        << Entry("epsilon", 10, 0, 0, 2, false, "OLD", "moved from #DOM:OLD");
    QTest::newRow("comment keeps blanks and # words")
        << QByteArray("10.0.0.2 z #COMMENT: a\tb #x ") << true
        << Entry("z", 10, 0, 0, 2, false, "", " a\tb #x ");
    QTest::newRow("no blank: name is the whole line")
        << QByteArray("10.0.0.3") << true << Entry("10.0.0.3", 10, 0, 0, 3);
    QTest::newRow("lower-case #pre")
        << QByteArray("10.0.0.1 x #pre") << true << Entry("x", 10, 0, 0, 1);
    QTest::newRow("#PRE inside quoted name")
        << QByteArray("10.0.0.1 \"a#PREb\"") << true << Entry("a#PREb", 10, 0, 0, 1, true);
    QTest::newRow("#PRE glued to name")
        << QByteArray("10.0.0.1 a#PRE") << true << Entry("a#PRE", 10, 0, 0, 1, true);
    QTest::newRow("domain ends at tab") << QByteArray("10.0.0.1 x #DOM:d1\tmore #DOM:d2") << true
                                        << Entry("x", 10, 0, 0, 1, false, "d1");
    QTest::newRow("empty domain") << QByteArray("10.0.0.1 x #DOM:") << true
                                  << Entry("x", 10, 0, 0, 1);
    QTest::newRow("address only with tab")
        << QByteArray("10.0.0.1\t") << true << Entry("", 10, 0, 0, 1);
    QTest::newRow("empty quoted name")
        << QByteArray("1.2.3.4\t\"\"") << true << Entry("", 1, 2, 3, 4);
    QTest::newRow("garbage still an entry")
        << QByteArray("xyz abc") << true << Entry("abc", 0, 0, 0, 0);
    QTest::newRow("NUL byte in name")
        << QByteArray("1.2.3.4 a\0b", 11) << true << Entry(std::string("a\0b", 3), 1, 2, 3, 4);
    QTest::newRow("dot past the 15th character is not a separator")
        << QByteArray("1.2.            3.4") << true << Entry("3.4", 1, 2, 3, 0);
}

void TestLmhostsFormat::parseLine()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, isEntry);
    QFETCH(HostEntry, expected);
    const std::optional<HostEntry> entry = ParseLmhostsLine(Bytes(line));
    QCOMPARE(entry.has_value(), isEntry);
    if (entry)
        QCOMPARE(Describe(*entry), Describe(expected));
    if (entry)
        QVERIFY(*entry == expected);
}

void TestLmhostsFormat::addressScan_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<int>>("octets");

    QTest::newRow("plain") << QByteArray("1.2.3.4 x") << QList<int>{1, 2, 3, 4};
    QTest::newRow("hex") << QByteArray("0xA.0Xb.0xC.0XF x") << QList<int>{10, 11, 12, 15};
    QTest::newRow("hex cut by width") << QByteArray("0x1.2 x") << QList<int>{1, 2, 0, 0};
    QTest::newRow("0x without digits") << QByteArray("0x.1.2.3 x") << QList<int>{0, 1, 2, 3};
    QTest::newRow("0x then letter") << QByteArray("0xg.1 x") << QList<int>{0, 0, 0, 0};
    QTest::newRow("sign and 0x fill the width") << QByteArray("-0x1.2 x") << QList<int>{0, 0, 0, 0};
    QTest::newRow("blanks before number") << QByteArray("  -1.2 x") << QList<int>{-1, 2, 0, 0};
    QTest::newRow("08 reads 0") << QByteArray("08.1 x") << QList<int>{0, 0, 0, 0};
    QTest::newRow("octal cut by width")
        << QByteArray("123.456.789.012 x") << QList<int>{123, 456, 789, 10};
    QTest::newRow("four digits") << QByteArray("1234.5 x") << QList<int>{123, 0, 0, 0};
    QTest::newRow("two signs") << QByteArray("+-1.2 x") << QList<int>{0, 0, 0, 0};
    QTest::newRow("blank before dot") << QByteArray("1 .2 x") << QList<int>{1, 0, 0, 0};
    QTest::newRow("blank after dot") << QByteArray("1. 2. 3. 4 x") << QList<int>{1, 2, 3, 4};
    QTest::newRow("signs") << QByteArray("9.-9.+9.-0 x") << QList<int>{9, -9, 9, 0};
    QTest::newRow("sign alone") << QByteArray("-.1 x") << QList<int>{0, 0, 0, 0};
    QTest::newRow("blank after sign") << QByteArray("- 1.2 x") << QList<int>{0, 0, 0, 0};
    QTest::newRow("dollar as separator") << QByteArray("1$2$3$4 x") << QList<int>{1, 2, 3, 4};
    QTest::newRow("fifth part ignored") << QByteArray("1.2.3.4.5 x") << QList<int>{1, 2, 3, 4};
    QTest::newRow("last octet 0x") << QByteArray("1.2.3.0x") << QList<int>{1, 2, 3, 0};
    QTest::newRow("last octet sign only") << QByteArray("1.2.3.-") << QList<int>{1, 2, 3, 0};
    QTest::newRow("0X1f") << QByteArray("0X1f.2") << QList<int>{1, 0, 0, 0};
    QTest::newRow("long line of blanks")
        << QByteArray("1.") + QByteArray(20, ' ') + QByteArray("2.3") << QList<int>{1, 2, 0, 0};
}

// The scan follows the C library's "%3i" rules; compare with sscanf itself.
void TestLmhostsFormat::addressScan()
{
    QFETCH(QByteArray, line);
    QFETCH(QList<int>, octets);

    QByteArray scan = line;
    for (qsizetype i = 0; i < std::min<qsizetype>(scan.size(), 15); ++i) {
        if (scan[i] == '.')
            scan[i] = '$';
    }
    int c[4] = {0, 0, 0, 0};
    std::sscanf(scan.constData(), "%3i$%3i$%3i$%3i", &c[0], &c[1], &c[2], &c[3]);
    QCOMPARE((QList<int>{c[0], c[1], c[2], c[3]}), octets);

    const std::optional<HostEntry> e = ParseLmhostsLine(Bytes(line));
    QVERIFY(e);
    QCOMPARE((QList<int>{e->octet1, e->octet2, e->octet3, e->octet4}), octets);
}

void TestLmhostsFormat::octetsStartAtZeroOnEveryLine()
{
    const HostTable table = Read("9.9.9.9 first\r\n1.2.3 delta\r\n");
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.at(1).octet3, 3);
    QCOMPARE(table.at(1).octet4, 0);
}

void TestLmhostsFormat::formatLine_data()
{
    QTest::addColumn<HostEntry>("entry");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("all fields") << Entry("server", 192, 168, 0, 1, true, "WORK", "main file server")
                                << QByteArray("192.168.0.1\t\"server\"\t#PRE\t#DOM:WORK\t#COMMENT:"
                                              "main file server\n");
    QTest::newRow("name only") << Entry("print", 10, 0, 0, 7)
                               << QByteArray("10.0.0.7\t\"print\"\n");
    QTest::newRow("empty name") << Entry("", 1, 2, 3, 4) << QByteArray("1.2.3.4\t\"\"\n");
    QTest::newRow("negative octets")
        << Entry("n", -1, 0, -20, 300) << QByteArray("-1.0.-20.300\t\"n\"\n");
    QTest::newRow("comment without domain")
        << Entry("c", 1, 1, 1, 1, false, "", "x y") << QByteArray("1.1.1.1\t\"c\"\t#COMMENT:x y\n");
    QTest::newRow("domain without preload")
        << Entry("d", 1, 1, 1, 1, false, "DOM") << QByteArray("1.1.1.1\t\"d\"\t#DOM:DOM\n");
    QTest::newRow("nothing escaped")
        << Entry("a\"b\\c", 1, 1, 1, 1) << QByteArray("1.1.1.1\t\"a\"b\\c\"\n");
}

void TestLmhostsFormat::formatLine()
{
    QFETCH(HostEntry, entry);
    QFETCH(QByteArray, line);
    QCOMPARE(Qb(FormatLmhostsLine(entry)), line);
}

void TestLmhostsFormat::formattedLineReadsBack_data()
{
    QTest::addColumn<HostEntry>("entry");
    QTest::addColumn<bool>("canHold");

    QTest::newRow("all fields") << Entry("srv x", 192, 168, 0, 1, true, "W", "c #x") << true;
    QTest::newRow("widest octets") << Entry("w", -99, 999, 0, -1) << true;
    QTest::newRow("empty name") << Entry("", 0, 0, 0, 0) << true;
    QTest::newRow("octet too wide") << Entry("w", 1000, 1, 1, 1) << false;
    QTest::newRow("negative too wide") << Entry("w", 1, -100, 1, 1) << false;
    QTest::newRow("quote in name") << Entry("a\"b", 1, 1, 1, 1) << false;
    QTest::newRow("blank in domain") << Entry("a", 1, 1, 1, 1, false, "d e") << false;
    QTest::newRow("keyword in comment") << Entry("a", 1, 1, 1, 1, false, "", "x #PRE") << false;
    QTest::newRow("keyword in name") << Entry("#DOM:x", 1, 1, 1, 1) << false;
    QTest::newRow("line break in comment") << Entry("a", 1, 1, 1, 1, false, "", "x\ny") << false;
    QTest::newRow("carriage return ends comment")
        << Entry("a", 1, 1, 1, 1, false, "", "x\r") << false;
}

void TestLmhostsFormat::formattedLineReadsBack()
{
    QFETCH(HostEntry, entry);
    QFETCH(bool, canHold);
    QCOMPARE(LineCanHold(entry), canHold);

    // Through the writer, as a save does: one line per entry, read back.
    HostTable table;
    table.append(entry);
    const HostTable back = Read(Write(table));
    QCOMPARE(back.size(), 1);
    if (canHold)
        QCOMPARE(Describe(back.at(0)), Describe(entry));
    else
        QVERIFY(!(back.at(0) == entry));
}

void TestLmhostsFormat::unchangedTableWritesSameBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray longName(100000, 'n');
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("CRLF") << QByteArray(
        "# hosts\r\n10.0.0.1 a #PRE\r\n\r\n#INCLUDE x\r\n10.0.0.2 b\r\n");
    QTest::newRow("LF") << QByteArray("10.0.0.1 a\n# c\n10.0.0.2   \"b c\"  #MH\n");
    QTest::newRow("mixed breaks") << QByteArray("10.0.0.1 a\r\n10.0.0.2 b\n# c\r\n\n");
    QTest::newRow("no final break") << QByteArray("10.0.0.1 a\r\n10.0.0.2 b");
    QTest::newRow("comment last, no break") << QByteArray("10.0.0.1 a\n# end");
    QTest::newRow("lone carriage returns") << QByteArray("10.0.0.1 a\r\r\n\r10.0.0.2 b\r");
    QTest::newRow("NUL bytes") << QByteArray("10.0.0.1 a\0b\r\n\0\r\n", 17);
    QTest::newRow("not UTF-8") << QByteArray("10.0.0.1 M\xfcller #COMMENT:\xff\xfe\r\n");
    QTest::newRow("100000-character line") << QByteArray("10.0.0.1 ") + longName + "\r\n# x\r\n";
    QTest::newRow("byte-order mark, comment first")
        << QByteArray("\xEF\xBB\xBF# first\r\n10.0.0.1 a\r\n");
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("only breaks") << QByteArray("\r\n\n\r\n");
    QTest::newRow("octets not written as read")
        << QByteArray("010.0x1.+3.0004 odd #DOM:a #DOM:b #COMMENT:#PRE\r\n");
    QTest::newRow("alternate block")
        << QByteArray("#BEGIN_ALTERNATE\r\n#INCLUDE \\\\a\\b\r\n#END_ALTERNATE\r\n1.1.1.1 a\r\n");
}

void TestLmhostsFormat::unchangedTableWritesSameBytes()
{
    QFETCH(QByteArray, bytes);
    HostTable table = Read(bytes);
    QCOMPARE(Write(table), bytes);

    // Also through a save, which then remembers what it wrote.
    std::string written;
    HostTableIo::save(table, [&](std::string_view b) { written.assign(b); });
    QCOMPARE(Qb(written), bytes);
    QCOMPARE(Write(table), bytes);
}

void TestLmhostsFormat::editsKeepOtherLines_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QByteArray>("after");

    const QByteArray file = "# head\r\n"
                            "10.0.0.1 alpha #PRE #MH #DOM:D1 #main server\r\n"
                            "#BEGIN_ALTERNATE\r\n"
                            "#INCLUDE \\\\s\\lmhosts\r\n"
                            "#END_ALTERNATE\r\n"
                            "10.0.0.2 beta\r\n"
                            "\r\n"
                            "10.0.0.3 gamma #COMMENT:c\r\n";
    QTest::newRow("nothing") << file << QString() << file;
    QTest::newRow("name changed, unused words kept")
        << file << QStringLiteral("name 0 ALPHA")
        << QByteArray(file).replace("10.0.0.1 alpha #PRE #MH #DOM:D1 #main server",
                                    "10.0.0.1\t\"ALPHA\"\t#PRE\t#DOM:D1\t#MH #main server");
    QTest::newRow("kept words go before the comment")
        << file << QStringLiteral("comment 0 new text")
        << QByteArray(file).replace(
               "10.0.0.1 alpha #PRE #MH #DOM:D1 #main server",
               "10.0.0.1\t\"alpha\"\t#PRE\t#DOM:D1\t#MH #main server\t#COMMENT:new text");
    QTest::newRow("keywords dropped are not kept")
        << file << QStringLiteral("preload 0 0; domain 0")
        << QByteArray(file).replace("10.0.0.1 alpha #PRE #MH #DOM:D1 #main server",
                                    "10.0.0.1\t\"alpha\"\t#MH #main server");
    QTest::newRow("words before the comment only")
        << QByteArray("1.1.1.1 a x #COMMENT:y z\n") << QStringLiteral("octet4 0 9")
        << QByteArray("1.1.1.9\t\"a\"\tx\t#COMMENT:y z\n");
    QTest::newRow("carriage return after the kept words")
        << QByteArray("1.1.1.1 a x \r \n2.2.2.2 b\n") << QStringLiteral("octet4 0 9")
        << QByteArray("1.1.1.9\t\"a\"\tx\n2.2.2.2 b\n");
    QTest::newRow("removed line goes")
        << file << QStringLiteral("remove 1") << QByteArray(file).replace("10.0.0.2 beta\r\n", "");
    QTest::newRow("remove all entries")
        << file << QStringLiteral("remove 0; remove 0; remove 0")
        << QByteArray(
               "# head\r\n#BEGIN_ALTERNATE\r\n#INCLUDE \\\\s\\lmhosts\r\n#END_ALTERNATE\r\n\r\n");
    QTest::newRow("append in CRLF file")
        << file << QStringLiteral("append new") << file + "10.0.0.99\t\"new\"\r\n";
    QTest::newRow("append in LF file") << QByteArray("1.1.1.1 a\n") << QStringLiteral("append n")
                                       << QByteArray("1.1.1.1 a\n10.0.0.99\t\"n\"\n");
    QTest::newRow("append in mixed file uses CRLF")
        << QByteArray("1.1.1.1 a\n#x\r\n") << QStringLiteral("append n")
        << QByteArray("1.1.1.1 a\n#x\r\n10.0.0.99\t\"n\"\r\n");
    QTest::newRow("append after missing final break")
        << QByteArray("1.1.1.1 a\n# end") << QStringLiteral("append n")
        << QByteArray("1.1.1.1 a\n# end\n10.0.0.99\t\"n\"\n");
    QTest::newRow("append after a last line ending in CR")
        << QByteArray("1.1.1.1 a\n# end\r") << QStringLiteral("append n")
        << QByteArray("1.1.1.1 a\n# end\r\r\n10.0.0.99\t\"n\"\n");
    QTest::newRow("append to empty file") << QByteArray() << QStringLiteral("append n; append m")
                                          << QByteArray("10.0.0.99\t\"n\"\r\n10.0.0.99\t\"m\"\r\n");
    QTest::newRow("append after byte-order mark")
        << QByteArray("\xEF\xBB\xBF") << QStringLiteral("append n")
        << QByteArray("\xEF\xBB\xBF"
                      "10.0.0.99\t\"n\"\r\n");
    QTest::newRow("changed entry keeps its own line break")
        << QByteArray("1.1.1.1 a\r\n2.2.2.2 b\n3.3.3.3 c") << QStringLiteral("name 1 B; name 2 C")
        << QByteArray("1.1.1.1 a\r\n2.2.2.2\t\"B\"\n3.3.3.3\t\"C\"");
    QTest::newRow("removed, changed and added")
        << file << QStringLiteral("remove 0; name 1 G; append z")
        << QByteArray("# head\r\n#BEGIN_ALTERNATE\r\n#INCLUDE \\\\s\\lmhosts\r\n#END_ALTERNATE\r\n"
                      "10.0.0.2 beta\r\n\r\n10.0.0.3\t\"G\"\t#COMMENT:c\r\n10.0.0.99\t\"z\"\r\n");
    QTest::newRow("line breaks in a text go out as spaces")
        << QByteArray("1.1.1.1 a\r\n") << QStringLiteral("comment 0 x\ny\r")
        << QByteArray("1.1.1.1\t\"a\"\t#COMMENT:x y \r\n");
}

void TestLmhostsFormat::editsKeepOtherLines()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, edit);
    QFETCH(QByteArray, after);

    HostTable table = Read(before);
    Apply(table, edit);
    const HostTable expected = table;
    QCOMPARE(Write(table), after);

    // Reading the result back gives the edited entries, as far as a line holds them.
    const HostTable back = Read(after);
    QCOMPARE(back.size(), expected.size());
    for (int i = 0; i < back.size(); ++i) {
        if (LineCanHold(expected.at(i)))
            QCOMPARE(Describe(back.at(i)), Describe(expected.at(i)));
    }
}

// After a save the written file is the baseline: saving again changes nothing,
// and a later edit is made against the new lines.
void TestLmhostsFormat::savedFileBecomesBaseline()
{
    HostTable table = Read("# c\r\n1.1.1.1 a #MH\r\n2.2.2.2 b\r\n");
    table.at(0).hostname = "A";
    table.removeAt(1);
    table.append(Entry("n", 3, 3, 3, 3));
    std::string first;
    HostTableIo::save(table, [&](std::string_view b) { first.assign(b); });
    QCOMPARE(Qb(first), QByteArray("# c\r\n1.1.1.1\t\"A\"\t#MH\r\n3.3.3.3\t\"n\"\r\n"));
    QVERIFY(HostTableIo::unchangedFile(table) != nullptr);
    QCOMPARE(Write(table), Qb(first));

    table.at(1).comment = "later";
    table.removeAt(0);
    QCOMPARE(Write(table), QByteArray("# c\r\n3.3.3.3\t\"n\"\t#COMMENT:later\r\n"));
}

// A name the line cannot hold reads back differently; saving again must still
// write the same line, and a later edit must not pick up pieces of the name.
void TestLmhostsFormat::entryTheLineCannotHoldIsStable()
{
    HostTable table = Read("1.1.1.1 a #MH\r\n");
    table.at(0).hostname = "q\"x";
    std::string first;
    HostTableIo::save(table, [&](std::string_view b) { first.assign(b); });
    QCOMPARE(Qb(first), QByteArray("1.1.1.1\t\"q\"x\"\t#MH\r\n"));
    QCOMPARE(Write(table), Qb(first));
    table.at(0).octet4 = 2;
    QCOMPARE(Write(table), QByteArray("1.1.1.2\t\"q\"x\"\t#MH\r\n"));
}

void TestLmhostsFormat::failedWriteLeavesTable()
{
    HostTable table = Read("1.1.1.1 a\r\n2.2.2.2 b\r\n");
    table.removeAt(0);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, HostTableIo::save(table, [](std::string_view) {
                                 throw std::runtime_error("disk full");
                             }));
    QCOMPARE(Qb(HostTableIo::file(table)), QByteArray("1.1.1.1 a\r\n2.2.2.2 b\r\n"));
    table.append(Entry("c", 3, 3, 3, 3));
    QCOMPARE(Write(table), QByteArray("2.2.2.2 b\r\n3.3.3.3\t\"c\"\r\n"));
}

void TestLmhostsFormat::detectEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");

    QTest::newRow("empty") << QByteArray() << TextEncoding::Windows1252;
    QTest::newRow("ASCII") << QByteArray("1.1.1.1 a\r\n") << TextEncoding::Windows1252;
    QTest::newRow("UTF-8") << QByteArray("1.1.1.1 M\xc3\xbcller \xe2\x82\xac \xf0\x9f\x98\x80")
                           << TextEncoding::Utf8;
    QTest::newRow("byte-order mark, ASCII") << QByteArray("\xEF\xBB\xBF"
                                                          "a")
                                            << TextEncoding::Utf8;
    QTest::newRow("Windows-1252") << QByteArray("1.1.1.1 M\xfcller") << TextEncoding::Windows1252;
    QTest::newRow("UTF-8 then a stray byte")
        << QByteArray("\xc3\xbc and \x80") << TextEncoding::Windows1252;
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << TextEncoding::Windows1252;
    QTest::newRow("overlong three bytes")
        << QByteArray("\xe0\x80\xaf") << TextEncoding::Windows1252;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << TextEncoding::Windows1252;
    QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << TextEncoding::Windows1252;
    QTest::newRow("cut at the end")
        << QByteArray("abcdefghij\xe2\x82") << TextEncoding::Windows1252;
    QTest::newRow("non-ASCII after long ASCII run")
        << QByteArray(37, 'a') + "\xc3\xa4" << TextEncoding::Utf8;
    QTest::newRow("byte-order mark, UTF-8") << QByteArray("\xEF\xBB\xBF"
                                                          "1.1.1.1 M\xc3\xbcller")
                                            << TextEncoding::Utf8;
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << TextEncoding::Utf8;
    QTest::newRow("byte-order mark, Windows-1252")
        << QByteArray("\xEF\xBB\xBF"
                      "10.0.0.1 M\xfcller #COMMENT:\x80 euro\r\n")
        << TextEncoding::Windows1252;
    QTest::newRow("byte-order mark, stray byte far behind")
        << QByteArray("\xEF\xBB\xBF") + QByteArray(100, 'a') + "\xc3\xa4 \xe9"
        << TextEncoding::Windows1252;
    QTest::newRow("byte-order mark, cut at the end") << QByteArray("\xEF\xBB\xBF"
                                                                   "a\xc3")
                                                     << TextEncoding::Windows1252;
}

void TestLmhostsFormat::detectEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QCOMPARE(DetectTextEncoding(Bytes(bytes)), encoding);
    QCOMPARE(Read(bytes).encoding(), encoding);
}

void TestLmhostsFormat::transferKeepsUntouchedFields_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("byte-order mark, Windows-1252 body")
        << QByteArray("\xEF\xBB\xBF"
                      "10.0.0.1 M\xfcller #DOM:\xe9 #COMMENT:\x80 euro\r\n")
        << QByteArray("\xEF\xBB\xBF"
                      "10.0.0.99\t\"M\xfcller\"\t#DOM:\xe9\t#COMMENT:\x80 euro\r\n");
    QTest::newRow("Windows-1252, undefined bytes")
        << Raw("10.0.0.1 \x81\x8d #DOM:\x8f\x90 #COMMENT:\x9d\0\xff\n")
        << Raw("10.0.0.99\t\"\x81\x8d\"\t#DOM:\x8f\x90\t#COMMENT:\x9d\0\xff\n");
    QTest::newRow("byte-order mark, UTF-8 body")
        << QByteArray("\xEF\xBB\xBF"
                      "10.0.0.1 M\xc3\xbcller #COMMENT:\xe2\x82\xac\n")
        << QByteArray("\xEF\xBB\xBF"
                      "10.0.0.99\t\"M\xc3\xbcller\"\t#COMMENT:\xe2\x82\xac\n");
    QTest::newRow("UTF-8 texts starting with U+FEFF")
        << QByteArray("10.0.0.1 \xEF\xBB\xBF\xEF\xBB\xBFn #DOM:\xEF\xBB\xBF "
                      "#COMMENT:\xEF\xBB\xBF\xc3\xa4\n")
        << QByteArray("10.0.0.99\t\"\xEF\xBB\xBF\xEF\xBB\xBFn\"\t#DOM:\xEF\xBB\xBF\t"
                      "#COMMENT:\xEF\xBB\xBF\xc3\xa4\n");
}

// The editor shows every text of the selected entry and takes all of them back
// on each transfer, through the table's encoding: the texts the user did not
// touch must keep their bytes.
void TestLmhostsFormat::transferKeepsUntouchedFields()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    HostTable table = Read(before);
    QCOMPARE(table.size(), 1);
    HostEntry& e = table.at(0);
    const HostEntry read = e;
    for (std::string* text : {&e.hostname, &e.domain, &e.comment}) {
        const std::optional<std::string> back =
            EncodeText(DecodeText(*text, table.encoding()), table.encoding());
        QVERIFY(back);
        QCOMPARE(Qb(*back), Qb(*text));
        *text = *back;
    }
    QVERIFY(e == read);

    e.octet4 = 99;
    QCOMPARE(Write(table), after);
}

void TestLmhostsFormat::ctrlZEndsEntries_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArray>("after");

    const QByteArray file = "10.0.0.1 a\r\n10.0.0.2 b\r\n\x1A";
    QTest::newRow("last byte, unchanged") << file << QString() << QStringList{"a", "b"} << file;
    QTest::newRow("last byte, entry added before it")
        << file << QStringLiteral("append n") << QStringList{"a", "b"}
        << QByteArray("10.0.0.1 a\r\n10.0.0.2 b\r\n10.0.0.99\t\"n\"\r\n\x1A");
    QTest::newRow("last byte, entries removed") << file << QStringLiteral("remove 0; remove 0")
                                                << QStringList{"a", "b"} << QByteArray("\x1A");
    QTest::newRow("entry lines behind it are kept, not read")
        << QByteArray("1.1.1.1 a\n\x1A\n2.2.2.2 b\n\x1A3.3.3.3 c")
        << QStringLiteral("remove 0; append n") << QStringList{"a"}
        << QByteArray("10.0.0.99\t\"n\"\n\x1A\n2.2.2.2 b\n\x1A3.3.3.3 c");
    QTest::newRow("edited entry before it")
        << file << QStringLiteral("name 1 B") << QStringList{"a", "b"}
        << QByteArray("10.0.0.1 a\r\n10.0.0.2\t\"B\"\r\n\x1A");
    QTest::newRow("whole file") << QByteArray("\x1A") << QStringLiteral("append n") << QStringList{}
                                << QByteArray("10.0.0.99\t\"n\"\r\n\x1A");
    QTest::newRow("after a byte-order mark")
        << QByteArray("\xEF\xBB\xBF\x1A\r\n1.1.1.1 a\r\n") << QStringLiteral("append n")
        << QStringList{}
        << QByteArray("\xEF\xBB\xBF"
                      "10.0.0.99\t\"n\"\r\n\x1A\r\n1.1.1.1 a\r\n");
    QTest::newRow("inside a line it is text")
        << QByteArray("1.1.1.1 a\x1A\n \x1A\n") << QStringLiteral("append n")
        << QStringList{"a\x1A", "\x1A"} << QByteArray("1.1.1.1 a\x1A\n \x1A\n10.0.0.99\t\"n\"\n");
}

// An old DOS editor's Ctrl-Z ends what Windows reads of the file: nothing from
// there on is an entry, and the bytes stay where they are, after every entry.
void TestLmhostsFormat::ctrlZEndsEntries()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, edit);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, after);

    HostTable table = Read(before);
    QStringList read;
    for (int i = 0; i < table.size(); ++i)
        read << QString::fromLatin1(table.at(i).hostname);
    QCOMPARE(read, names);

    Apply(table, edit);
    QCOMPARE(Write(table), after);
    std::string saved;
    HostTableIo::save(table, [&](std::string_view b) { saved.assign(b); });
    QCOMPARE(Qb(saved), after);
    table.append(Entry("m", 1, 1, 1, 1));
    table.removeAt(table.size() - 1);
    QCOMPARE(Write(table), after);
}

QTEST_GUILESS_MAIN(TestLmhostsFormat)
#include "tst_lmhostsformat.moc"
