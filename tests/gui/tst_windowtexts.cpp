// What the window says, in the language the test runs under (built once for an
// English and once for a German locale).

#include "editordialog.h"
#include "stringtable.h"
#include "windowkit.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTreeView>

namespace
{

bool German()
{
    return QLocale().language() == QLocale::German;
}

const QByteArray kTwoEntries = "192.168.1.20\t\"zulu\"\t#PRE\r\n"
                               "172.16.0.5\t\"mike\"\r\n";

} // namespace

class TestWindowTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controls_data();
    void controls();
    void listAndPrompts();

private:
    bool german_ = false;
};

void TestWindowTexts::initTestCase()
{
    QApplication::setApplicationName(QStringLiteral("Marlox"));
    german_ = German();
    QCOMPARE(InstallTranslations(), german_);
    qInfo("language: %s", german_ ? "German" : "English");
}

void TestWindowTexts::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    // Labels also carry the control their mnemonic leads to.
    QTest::addColumn<QString>("buddy");
    QTest::addColumn<int>("mnemonic");

    QTest::newRow("hostname label") << "hostnameLabel"
                                    << "&Hostname:"
                                    << "&Rechnername:"
                                    << "hostnameEdit" << int(german_ ? Qt::Key_R : Qt::Key_H);
    QTest::newRow("address label") << "addressLabel"
                                   << "&IP Adress:"
                                   << "&IP Addresse:"
                                   << "octet1Edit" << int(Qt::Key_I);
    QTest::newRow("lookup") << "lookupButton"
                            << "Lookup"
                            << "&Nachsehen"
                            << "" << 0;
    QTest::newRow("domain label") << "domainLabel"
                                  << "&Domain:"
                                  << "&Domäne:"
                                  << "domainEdit" << int(Qt::Key_D);
    QTest::newRow("comment label") << "commentLabel"
                                   << "&Comment:"
                                   << "&Kommentar:"
                                   << "commentEdit" << int(german_ ? Qt::Key_K : Qt::Key_C);
    QTest::newRow("preload") << "preloadCheck"
                             << "&Preload"
                             << "automatisch &Laden"
                             << "" << 0;
    QTest::newRow("new") << "newButton"
                         << "&New"
                         << "&Neu"
                         << "" << 0;
    QTest::newRow("delete") << "deleteButton"
                            << "De&lete"
                            << "&Löschen"
                            << "" << 0;
    QTest::newRow("save") << "saveButton"
                          << "&Save && Exit"
                          << "&Speichern"
                          << "" << 0;
    QTest::newRow("close") << "closeButton"
                           << "Close"
                           << "Schließen"
                           << "" << 0;
}

void TestWindowTexts::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, english);
    QFETCH(QString, german);
    QFETCH(QString, buddy);
    QFETCH(int, mnemonic);

    WindowsTree tree;
    tree.write(kTwoEntries);
    FakeResolver resolver;
    const std::unique_ptr<EditorDialog> window = ShowEditor(resolver);
    EditorDialog& dialog = *window;
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // The caption after the file name names the program, the same in every language.
    QCOMPARE(dialog.windowTitle(), QStringLiteral("lmhosts[*] \u2014 Marlox LMHOSTS Editor"));

    QWidget* widget = dialog.findChild<QWidget*>(name);
    QVERIFY(widget);
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        text = button->text();
    QCOMPARE(text, german_ ? german : english);

    if (!buddy.isEmpty()) {
        // Editing has to be allowed first: pick the first row.
        auto* list = dialog.findChild<QTreeView*>(QStringLiteral("hostList"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        auto* label = qobject_cast<QLabel*>(widget);
        QCOMPARE(label->buddy()->objectName(), buddy);
        QTest::keyClick(&dialog, Qt::Key(mnemonic), Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), buddy);
    }
}

void TestWindowTexts::listAndPrompts()
{
    WindowsTree tree;
    tree.write(kTwoEntries);
    FakeResolver resolver;
    MessageHand hand;
    const std::unique_ptr<EditorDialog> window = ShowEditor(resolver);
    EditorDialog& dialog = *window;
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("hostList"));
    QAbstractItemModel* model = list->model();
    const QStringList titles =
        german_ ? QStringList{"Rechnername", "Domäne", "IP Addresse", "autom. Laden", "Kommentar"}
                : QStringList{"Hostname", "Domain", "IP Adress", "Preload", "Comment"};
    for (int column = 0; column < 5; ++column)
        QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), titles[column]);
    QCOMPARE(model->data(model->index(0, 3)).toString(), german_ ? "nein" : "no");
    QCOMPARE(model->data(model->index(1, 3)).toString(), german_ ? "ja" : "yes");
    QVERIFY(model->data(model->index(0, 3), Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter);

    // The delete prompt with the name filled in, and Qt's own button texts.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(model->index(0, 0)).center());
    hand.answers << QMessageBox::No;
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("deleteButton")),
                      Qt::LeftButton);
    QCOMPARE(hand.seen.size(), 1);
    QCOMPARE(hand.seen[0].text,
             german_ ? QStringLiteral("Wollen Sie mike wirklich aus Ihrer LMHOST Datei löschen?")
                     : QStringLiteral("Do you realy want to delete mike from your LMHOST file?"));
    QCOMPARE(hand.seen[0].buttons,
             german_ ? QStringList({"&Ja", "&Nein"}) : QStringList({"&Yes", "&No"}));

    // A lookup message.
    resolver.answer = {LookupStatus::HostNotFound, {}};
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("lookupButton")),
                      Qt::LeftButton);
    QCOMPARE(hand.seen.size(), 2);
    QVERIFY2(hand.seen[1].text.startsWith(german_ ? "Rechner mit angegebener IP Addresse"
                                                  : "Host specified by IP adress not found."),
             qPrintable(hand.seen[1].text));
}

QTEST_MAIN(TestWindowTexts)
#include "tst_windowtexts.moc"
