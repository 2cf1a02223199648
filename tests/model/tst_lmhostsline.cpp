// One LMHOSTS line: reading, writing, what a line can hold; the encoding of a
// file's bytes.

#include "lmhostsdocument.h"
#include "lmhostsline.h"
#include "modeltest.h"
#include "textencoding.h"

#include <QTest>

#include <cstdio>

Q_DECLARE_METATYPE(HostEntry)
Q_DECLARE_METATYPE(TextEncoding)

class TestLmhostsLine : public QObject
{
    Q_OBJECT

private slots:
    void parseLine_data();
    void parseLine();
    void addressScan_data();
    void addressScan();
    void formatLine_data();
    void formatLine();
    void formattedLineReadsBack_data();
    void formattedLineReadsBack();
    void detectEncoding_data();
    void detectEncoding();
};

void TestLmhostsLine::parseLine_data()
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

void TestLmhostsLine::parseLine()
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

void TestLmhostsLine::addressScan_data()
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

void TestLmhostsLine::addressScan()
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

void TestLmhostsLine::formatLine_data()
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

void TestLmhostsLine::formatLine()
{
    QFETCH(HostEntry, entry);
    QFETCH(QByteArray, line);
    QCOMPARE(Qb(FormatLmhostsLine(entry)), line);
}

void TestLmhostsLine::formattedLineReadsBack_data()
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

void TestLmhostsLine::formattedLineReadsBack()
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

void TestLmhostsLine::detectEncoding_data()
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

void TestLmhostsLine::detectEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QCOMPARE(DetectTextEncoding(Bytes(bytes)), encoding);
    QCOMPARE(Read(bytes).encoding(), encoding);
}

QTEST_GUILESS_MAIN(TestLmhostsLine)
#include "tst_lmhostsline.moc"
