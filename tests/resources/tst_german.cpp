#include "editorlogic.h"
#include "fakedialog.h"
#include "hostlistcontrol.h"
#include "hostlistmodel.h"
#include "stringtable.h"

#include <QCoreApplication>
#include <QMap>
#include <QTest>
#include <QTranslator>

namespace
{

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
    HostListControl list(table);
    FakeDialog dialog; // declines every question
    EditorLogic logic(table, list, dialog);
    dialog.logic = &logic;
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
    HostTable table;
    HostListControl list(table);
    FakeDialog dialog; // declines every question
    EditorLogic logic(table, list, dialog);
    dialog.logic = &logic;
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
