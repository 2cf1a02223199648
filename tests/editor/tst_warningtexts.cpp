// The warnings' texts, in English or in German as the locale the test runs
// under asks for (it is registered under both).

#include "hosttable.h"
#include "hostwarnings.h"
#include "lmhostsline.h"
#include "stringtable.h"
#include "warningtexts.h"

#include <QLocale>
#include <QTest>

class TestWarningTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void entryTexts_data();
    void entryTexts();
    void fileText();

private:
    bool german_ = false;
};

void TestWarningTexts::initTestCase()
{
    german_ = InstallTranslations();
    QCOMPARE(german_, QLocale::system().language() == QLocale::German);
}

void TestWarningTexts::entryTexts_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("name");    // entry 0's name after the file, if not null
    QTest::addColumn<QByteArray>("comment"); // entry 0's comment after the file, if not null
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    const QByteArray keep;

    QTest::newRow("name too long")
        << QByteArray("10.0.0.1 ABCDEFGHIJKLMNOPQ") << keep << keep << 0
        << int(WarningKind::NameTooLong)
        << "The name has 17 characters, but a NetBIOS name has at most 15."
        << "Der Name hat 17 Zeichen, ein NetBIOS-Name hat aber höchstens 15.";
    QTest::newRow("service name length")
        << QByteArray("10.0.0.1 \"APPSRV\\0x03\"") << keep << keep << 0
        << int(WarningKind::ServiceNameLength)
        << "With its \\0xNN code the name makes 7 bytes, but Windows needs exactly 16: 15 "
           "characters, padded with blanks, and the code."
        << "Mit seinem \\0xNN-Code ergibt der Name 7 Bytes, Windows braucht aber genau 16: 15 "
           "mit Leerzeichen aufgefüllte Zeichen und den Code.";
    QTest::newRow("empty name") << QByteArray("10.0.0.1 \"\"") << keep << keep << 0
                                << int(WarningKind::EmptyName)
                                << "The entry has no name. Enter one, or delete the entry."
                                << "Der Eintrag hat keinen Namen. Geben Sie einen ein oder "
                                   "löschen Sie den Eintrag.";
    QTest::newRow("used, one later")
        << QByteArray("10.0.0.1 srv\n10.0.0.2 SRV") << keep << keep << 0
        << int(WarningKind::DuplicateUsed)
        << "The entry with the address 10.0.0.2 has the same name, but comes later: Windows "
           "uses this entry and never that one."
        << "Der Eintrag mit der Adresse 10.0.0.2 hat denselben Namen, steht aber weiter unten: "
           "Windows verwendet diesen Eintrag und jenen nie.";
    QTest::newRow("used, three later")
        << QByteArray("10.0.0.1 srv\n10.0.0.2 x\n10.0.0.3 SRV\n10.0.0.4 Srv\n10.0.0.5 srv") << keep
        << keep << 0 << int(WarningKind::DuplicateUsed)
        << "3 later entries have the same name, the first with the address 10.0.0.3: Windows "
           "uses this entry and never those."
        << "3 spätere Einträge haben denselben Namen, der erste mit der Adresse 10.0.0.3: "
           "Windows verwendet diesen Eintrag und jene nie.";
    QTest::newRow("never used")
        << QByteArray("10.0.0.1 srv\n10.0.0.2 x\n10.0.0.3 SRV") << keep << keep << 2
        << int(WarningKind::DuplicateUnused)
        << "Windows never uses this entry: the earlier entry with the address 10.0.0.1 has the "
           "same name."
        << "Windows verwendet diesen Eintrag nie: der frühere Eintrag mit der Adresse 10.0.0.1 "
           "hat denselben Namen.";
    QTest::newRow("domain without #PRE")
        << QByteArray("10.0.0.1 dc #DOM:CORP") << keep << keep << 0
        << int(WarningKind::DomainWithoutPreload)
        << "#DOM: needs #PRE on the same line, otherwise Windows does not preload the entry."
        << "#DOM: braucht #PRE in derselben Zeile, sonst lädt Windows den Eintrag nicht im "
           "Voraus.";
    QTest::newRow("line reads otherwise")
        << QByteArray("10.0.0.1 x") << QByteArray("a\"b") << QByteArray("not #PRE") << 0
        << int(WarningKind::LineReadsOtherwise)
        << "The line cannot hold this entry as it is; Windows will read it as: name \"a\", with "
           "#PRE."
        << "Die Zeile kann diesen Eintrag so nicht fassen; Windows wird sie so lesen: Name „a“, "
           "mit #PRE.";
    QTest::newRow("octet out of range")
        << QByteArray("10.0.0.300 x") << keep << keep << 0 << int(WarningKind::OctetOutOfRange)
        << "The address 10.0.0.300 has a part outside 0 to 255."
        << "Die Adresse 10.0.0.300 hat einen Teil außerhalb von 0 bis 255.";
}

void TestWarningTexts::entryTexts()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, comment);
    QFETCH(int, entry);
    QFETCH(int, kind);
    QFETCH(QString, english);
    QFETCH(QString, german);

    HostTable table;
    for (const QByteArray& line : file.split('\n'))
        table.append(ParseLmhostsLine(line.toStdString()).value());
    if (!name.isNull())
        table.at(0).hostname = name.toStdString();
    if (!comment.isNull())
        table.at(0).comment = comment.toStdString();
    HostWarnings warnings;
    warnings.rebuild(table, file.toStdString());

    QStringList texts;
    for (const Warning& w : warnings.of(entry)) {
        if (w.kind == WarningKind(kind))
            texts += WarningText(table, entry, w);
    }
    QCOMPARE(texts, QStringList{german_ ? german : english});
}

void TestWarningTexts::fileText()
{
    // The server's name in the file's encoding: "MÜLLER" in Windows-1252.
    const std::string file = "10.0.0.1 x\r\n\r\n#INCLUDE \\\\M\xDCLLER\\share\\lmhosts\r\n";
    HostTable table;
    table.append(ParseLmhostsLine("10.0.0.1 x").value());
    HostWarnings warnings;
    warnings.rebuild(table, file);
    QCOMPARE(warnings.fileWarnings().size(), std::size_t{1});
    const QString text =
        FileWarningText(warnings.fileWarnings().front(), TextEncoding::Windows1252);
    QCOMPARE(text, german_ ? QString("Zeile 3: #INCLUDE liest vom Server MÜLLER, aber keine "
                                     "frühere Zeile ordnet MÜLLER mit #PRE zu, daher findet "
                                     "Windows ihn nicht.")
                           : QString("Line 3: #INCLUDE reads from the server MÜLLER, but no "
                                     "earlier line maps MÜLLER with #PRE, so Windows cannot "
                                     "find it."));
}

QTEST_GUILESS_MAIN(TestWarningTexts)
#include "tst_warningtexts.moc"
