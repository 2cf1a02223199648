#include "editorlogic.h"
#include "hostlistmodel.h"
#include "nulldialog.h"
#include "stringtable.h"

#include <QCoreApplication>
#include <QMap>
#include <QTest>
#include <QTranslator>

namespace
{

// Declines every question and records it.
class QuestionDialog : public NullDialog
{
public:
    bool AskYesNo(const QString& question) override
    {
        questions.append(question);
        return false;
    }
    QStringList questions;
};

HostEntry Entry(const char* name, bool preload)
{
    HostEntry e;
    e.hostname = name;
    e.preload = preload;
    return e;
}

} // namespace

// Runs under a German locale (de_AT.UTF-8).
class TestGerman : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void germanText_data();
    void germanText();
    void everyStringTranslated();
    void qtOwnTexts();
    void listInGerman();
    void deletePromptNamesHost();
};

void TestGerman::initTestCase()
{
    QVERIFY(InstallTranslations());
    // A second call installs nothing more.
    const auto installed = qApp->findChildren<QTranslator*>().size();
    QVERIFY(InstallTranslations());
    QCOMPARE(qApp->findChildren<QTranslator*>().size(), installed);
}

void TestGerman::germanText_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("101") << 101 << "Über &Marlox...";
    QTest::newRow("103") << 103 << "Fehler bei der Initialisierung von Winsock.";
    QTest::newRow("104") << 104 << "Wollen Sie %1 wirklich aus Ihrer LMHOST Datei löschen?";
    QTest::newRow("105") << 105
                         << "Addresse kann nicht ermittelt werden. Das Netzwerk ist nicht "
                            "verfügbar.\nVerbinden Sie zu Ihrem Internet Anbieter oder Netzwerk "
                            "und versuchen Sie es nochmals.";
    QTest::newRow("106") << 106
                         << "Rechner mit angegebener IP Addresse kann nicht gefunden "
                            "werden.\nMöglicherweise ist die Addresse falsch oder der Rechner "
                            "hat keinen DNS Eintrag.";
    QTest::newRow("107") << 107
                         << "NA Rechner nicht gefunden oder Server Fehler.\nÜberprüfen Sie ihre "
                            "Netzwerkverbindung und versuchen Sie es nochmals.";
    QTest::newRow("108") << 108 << "Fehler bei der Namenssuche im Netzwerk.";
    QTest::newRow("109") << 109 << "Rechnername";
    QTest::newRow("110") << 110 << "Domäne";
    QTest::newRow("111") << 111 << "IP Addresse";
    QTest::newRow("112") << 112 << "autom. Laden";
    QTest::newRow("113") << 113 << "Kommentar";
    QTest::newRow("114") << 114 << "ja";
    QTest::newRow("115") << 115 << "nein";
}

void TestGerman::germanText()
{
    QFETCH(int, id);
    QFETCH(QString, text);
    QCOMPARE(LoadString(id), text);
}

void TestGerman::everyStringTranslated()
{
    // A text missing from the .ts would silently show its English source.
    const auto translators = qApp->findChildren<QTranslator*>();
    QVERIFY(!translators.isEmpty());
    QMap<int, QString> german;
    for (int id = 101; id <= StrLastId; ++id)
        german[id] = LoadString(id);
    for (QTranslator* t : translators)
        QCoreApplication::removeTranslator(t);
    for (int id = 101; id <= StrLastId; ++id) {
        const QString english = LoadString(id);
        if (id == 102) {
            QVERIFY(english.isEmpty());
            continue;
        }
        QVERIFY2(!english.isEmpty(), qPrintable(QString::number(id)));
        QVERIFY2(german[id] != english, qPrintable(QString::number(id) + ": " + english));
        // Every placeholder of the English text survives the translation.
        for (const char* placeholder : {"%1", "%2"})
            QCOMPARE(german[id].contains(placeholder), english.contains(placeholder));
    }
    for (QTranslator* t : translators)
        QCoreApplication::installTranslator(t);
}

void TestGerman::qtOwnTexts()
{
    // Message box buttons.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Ja"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), QString("&Nein"));
}

void TestGerman::listInGerman()
{
    HostTable table;
    table.append(Entry("alpha", true));
    table.append(Entry("beta", false));
    HostListControl list;
    QuestionDialog dialog;
    EditorLogic logic(list, dialog);
    logic.table() = table;
    logic.InsertListColumns();
    logic.RefillList();
    const HostListModel& model = *list.model();
    const QStringList titles = {"Rechnername", "Domäne", "IP Addresse", "autom. Laden",
                                "Kommentar"};
    for (int c = 0; c < 5; ++c)
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), titles[c]);
    QCOMPARE(model.cellText(0, 3), QString("ja"));
    QCOMPARE(model.cellText(1, 3), QString("nein"));
}

void TestGerman::deletePromptNamesHost()
{
    HostListControl list;
    QuestionDialog dialog;
    EditorLogic logic(list, dialog);
    logic.table().append(Entry("srv-1", false));
    logic.InsertListColumns();
    logic.RefillList();
    logic.OnDeleteEntry();
    QCOMPARE(dialog.questions,
             QStringList{"Wollen Sie srv-1 wirklich aus Ihrer LMHOST Datei löschen?"});
    QCOMPARE(logic.table().size(), 1);
}

QTEST_GUILESS_MAIN(TestGerman)
#include "tst_german.moc"
