#include "appinfo.h"
#include "stringtable.h"

#include <QCoreApplication>
#include <QTest>

// Runs under the C locale: the program's English texts. The texts themselves are
// checked in both languages by tst_stringtexts.
class TestStringTable : public QObject
{
    Q_OBJECT
private slots:
    void unknownIdIsEmpty_data();
    void unknownIdIsEmpty();
    void format_data();
    void format();
    void prefersGerman_data();
    void prefersGerman();
    void cLocaleStaysEnglish();
    void version();
};

void TestStringTable::unknownIdIsEmpty_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("102 (no string)") << 102;
    QTest::newRow("100") << 100;
    QTest::newRow("after the last") << int(StrLastId) + 1;
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
}

void TestStringTable::unknownIdIsEmpty()
{
    QFETCH(int, id);
    QVERIFY(LoadString(id).isEmpty());
}

void TestStringTable::format_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hostname") << int(StrDeletePrompt) << QStringList{"server1"}
                              << "Do you realy want to delete server1 from your LMHOST file?";
    QTest::newRow("empty hostname") << int(StrDeletePrompt) << QStringList{""}
                                    << "Do you realy want to delete  from your LMHOST file?";
    QTest::newRow("argument holding %1 and %2")
        << int(StrDeletePrompt) << QStringList{"a%1b%2"}
        << "Do you realy want to delete a%1b%2 from your LMHOST file?";
    QTest::newRow("path and reason")
        << int(StrCannotOpenForReading) << QStringList{"/w/LMHOSTS", "Permission denied"}
        << "Cannot open /w/LMHOSTS for reading:\nPermission denied";
    QTest::newRow("first argument holding %2")
        << int(StrCannotWrite) << QStringList{"/x%2", "Disk full"}
        << "Cannot write /x%2:\nDisk full";
    QTest::newRow("text without placeholder") << int(StrPreloadYes) << QStringList{"x"} << "yes";
    QTest::newRow("unknown id") << 999 << QStringList{"x"} << "";
}

void TestStringTable::format()
{
    QFETCH(int, id);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const QString result =
        args.size() == 1 ? FormatString(id, args[0]) : FormatString(id, args[0], args[1]);
    QCOMPARE(result, expected);
}

void TestStringTable::prefersGerman_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<bool>("german");
    QTest::newRow("de-AT") << QStringList{"de-AT"} << true;
    QTest::newRow("de-DE") << QStringList{"de-DE"} << true;
    QTest::newRow("de-CH") << QStringList{"de-CH"} << true;
    QTest::newRow("de-LU") << QStringList{"de-LU", "de"} << true;
    QTest::newRow("plain de") << QStringList{"de"} << true;
    QTest::newRow("en-US") << QStringList{"en-US"} << false;
    QTest::newRow("fr-FR") << QStringList{"fr-FR", "fr"} << false;
    QTest::newRow("C") << QStringList{"C"} << false;
    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("French first, then German") << QStringList{"fr-FR", "de-DE"} << true;
    QTest::newRow("English before German") << QStringList{"en-GB", "de-DE"} << false;
    QTest::newRow("German before English") << QStringList{"de-AT", "en-US"} << true;
}

void TestStringTable::prefersGerman()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(bool, german);
    QCOMPARE(PrefersGerman(uiLanguages), german);
}

void TestStringTable::cLocaleStaysEnglish()
{
    QVERIFY(!InstallTranslations());
    QCOMPARE(LoadString(StrColumnHostname), QString("Hostname"));
}

void TestStringTable::version()
{
    QCOMPARE(ApplicationVersionText(), QString("1.0.0.1"));
    SetApplicationVersion();
    QCOMPARE(QCoreApplication::applicationVersion(), QString("1.0.0.1"));
}

QTEST_GUILESS_MAIN(TestStringTable)
#include "tst_stringtable.moc"
