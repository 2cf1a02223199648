// The program's texts in the language of the locale the test runs under: built once
// for an English and once for a German locale.
#include "stringtable.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTest>

class TestStringTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void text_data();
    void text();

private:
    bool german_ = false;
};

void TestStringTexts::initTestCase()
{
    german_ = QLocale().language() == QLocale::German;
    QCOMPARE(InstallTranslations(), german_);
    qInfo("language: %s", german_ ? "German" : "English");
}

void TestStringTexts::text_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("expected");

    struct Row {
        int id;
        const char* english;
        const char* german;
    };
    // clang-format off
    const Row rows[] = {
        {101, "&About Marlox...", "Über &Marlox..."},
        {103, "Windows sockets initialization failed.",
              "Fehler bei der Initialisierung von Winsock."},
        {104, "Do you realy want to delete %1 from your LMHOST file?",
              "Wollen Sie %1 wirklich aus Ihrer LMHOST Datei löschen?"},
        {105, "Cannot lookup adress, network is down.\nConnect to your internet service "
              "provider or network and try again.",
              "Addresse kann nicht ermittelt werden. Das Netzwerk ist nicht verfügbar.\n"
              "Verbinden Sie zu Ihrem Internet Anbieter oder Netzwerk und versuchen Sie es "
              "nochmals."},
        {106, "Host specified by IP adress not found.\nMaybe the adress is wrong or the host "
              "has no DNS entry.",
              "Rechner mit angegebener IP Addresse kann nicht gefunden werden.\n"
              "Möglicherweise ist die Addresse falsch oder der Rechner hat keinen DNS Eintrag."},
        {107, "Non-Authoritative Host not found, or server failure.\nCheck your network and "
              "try again.",
              "NA Rechner nicht gefunden oder Server Fehler.\nÜberprüfen Sie ihre "
              "Netzwerkverbindung und versuchen Sie es nochmals."},
        {108, "Error requesting hostname from network.", "Fehler bei der Namenssuche im Netzwerk."},
        {109, "Hostname", "Rechnername"},
        {110, "Domain", "Domäne"},
        {111, "IP Adress", "IP Addresse"},
        {112, "Preload", "autom. Laden"},
        {113, "Comment", "Kommentar"},
        {114, "yes", "ja"},
        {115, "no", "nein"},
        {121, "Please enter an integer.", "Bitte geben Sie eine ganze Zahl ein."},
        {122, "Please enter an integer between 0 and 255.",
              "Bitte geben Sie eine ganze Zahl zwischen 0 und 255 ein."},
        {123, "Please enter no more than 512 characters.",
              "Bitte geben Sie höchstens 512 Zeichen ein."},
    };
    // clang-format on
    for (const Row& row : rows)
        QTest::addRow("%d", row.id)
            << row.id << QString::fromUtf8(german_ ? row.german : row.english);
}

void TestStringTexts::text()
{
    QFETCH(int, id);
    QFETCH(QString, expected);
    QCOMPARE(LoadString(id), expected);
}

QTEST_GUILESS_MAIN(TestStringTexts)
#include "tst_stringtexts.moc"
