// A whole LMHOSTS file on bytes: which lines are entries, and what a save writes
// back after edits.

#include "hosttable.h"
#include "lmhostsdocument.h"
#include "lmhostsline.h"
#include "modeltest.h"
#include "textcodec.h"

#include <QTest>

#include <stdexcept>

Q_DECLARE_METATYPE(HostEntry)

namespace
{

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

class TestLmhostsDocument : public QObject
{
    Q_OBJECT

private slots:
    void tableKeepsOrder();
    void octetsStartAtZeroOnEveryLine();
    void unchangedTableWritesSameBytes_data();
    void unchangedTableWritesSameBytes();
    void editsKeepOtherLines_data();
    void editsKeepOtherLines();
    void savedFileBecomesBaseline();
    void entryTheLineCannotHoldIsStable();
    void failedWriteLeavesTable();
    void transferKeepsUntouchedFields_data();
    void transferKeepsUntouchedFields();
    void ctrlZEndsEntries_data();
    void ctrlZEndsEntries();
};

void TestLmhostsDocument::tableKeepsOrder()
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

void TestLmhostsDocument::octetsStartAtZeroOnEveryLine()
{
    const HostTable table = Read("9.9.9.9 first\r\n1.2.3 delta\r\n");
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.at(1).octet3, 3);
    QCOMPARE(table.at(1).octet4, 0);
}

void TestLmhostsDocument::unchangedTableWritesSameBytes_data()
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

void TestLmhostsDocument::unchangedTableWritesSameBytes()
{
    QFETCH(QByteArray, bytes);
    HostTable table = Read(bytes);
    QCOMPARE(Write(table), bytes);

    // Also through a save, which then remembers what it wrote.
    std::string written;
    SaveHostTableWith(table, [&](std::string_view b) { written.assign(b); });
    QCOMPARE(Qb(written), bytes);
    QCOMPARE(Write(table), bytes);
}

void TestLmhostsDocument::editsKeepOtherLines_data()
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
    QTest::newRow("all entries removed, then one added")
        << QByteArray("1.1.1.1 a #MH\r\n# c\r\n") << QStringLiteral("remove 0; append n")
        << QByteArray("# c\r\n10.0.0.99\t\"n\"\r\n");
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

void TestLmhostsDocument::editsKeepOtherLines()
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

void TestLmhostsDocument::savedFileBecomesBaseline()
{
    HostTable table = Read("# c\r\n1.1.1.1 a #MH\r\n2.2.2.2 b\r\n");
    table.at(0).hostname = "A";
    table.removeAt(1);
    table.append(Entry("n", 3, 3, 3, 3));
    std::string first;
    SaveHostTableWith(table, [&](std::string_view b) { first.assign(b); });
    QCOMPARE(Qb(first), QByteArray("# c\r\n1.1.1.1\t\"A\"\t#MH\r\n3.3.3.3\t\"n\"\r\n"));
    QVERIFY(UnchangedFile(table) != nullptr);
    QCOMPARE(Write(table), Qb(first));

    table.at(1).comment = "later";
    table.removeAt(0);
    QCOMPARE(Write(table), QByteArray("# c\r\n3.3.3.3\t\"n\"\t#COMMENT:later\r\n"));
}

void TestLmhostsDocument::entryTheLineCannotHoldIsStable()
{
    HostTable table = Read("1.1.1.1 a #MH\r\n");
    table.at(0).hostname = "q\"x";
    std::string first;
    SaveHostTableWith(table, [&](std::string_view b) { first.assign(b); });
    QCOMPARE(Qb(first), QByteArray("1.1.1.1\t\"q\"x\"\t#MH\r\n"));
    QCOMPARE(Write(table), Qb(first));
    table.at(0).octet4 = 2;
    QCOMPARE(Write(table), QByteArray("1.1.1.2\t\"q\"x\"\t#MH\r\n"));
}

void TestLmhostsDocument::failedWriteLeavesTable()
{
    HostTable table = Read("1.1.1.1 a\r\n2.2.2.2 b\r\n");
    table.removeAt(0);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, SaveHostTableWith(table, [](std::string_view) {
                                 throw std::runtime_error("disk full");
                             }));
    QCOMPARE(Qb(table.file().bytes()), QByteArray("1.1.1.1 a\r\n2.2.2.2 b\r\n"));
    table.append(Entry("c", 3, 3, 3, 3));
    QCOMPARE(Write(table), QByteArray("2.2.2.2 b\r\n3.3.3.3\t\"c\"\r\n"));
}

void TestLmhostsDocument::transferKeepsUntouchedFields_data()
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

void TestLmhostsDocument::transferKeepsUntouchedFields()
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

void TestLmhostsDocument::ctrlZEndsEntries_data()
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
        << QByteArray("1.1.1.1 a\n\x1A\n2.2.2.2 b\n\x1A"
                      "3.3.3.3 c")
        << QStringLiteral("remove 0; append n") << QStringList{"a"}
        << QByteArray("10.0.0.99\t\"n\"\n\x1A\n2.2.2.2 b\n\x1A"
                      "3.3.3.3 c");
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

void TestLmhostsDocument::ctrlZEndsEntries()
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
    SaveHostTableWith(table, [&](std::string_view b) { saved.assign(b); });
    QCOMPARE(Qb(saved), after);
    table.append(Entry("m", 1, 1, 1, 1));
    table.removeAt(table.size() - 1);
    QCOMPARE(Write(table), after);
}

QTEST_GUILESS_MAIN(TestLmhostsDocument)
#include "tst_lmhostsdocument.moc"
