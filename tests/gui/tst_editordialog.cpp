// The editor window driven through real keyboard and mouse events on its widgets.

#include "editorapp.h"
#include "editordialog.h"
#include "lmhostsfile.h"
#include "stringtable.h"
#include "windowkit.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(LookupStatus)

namespace
{

// Three entries whose file order is not their sorted order, written as the
// editor writes lines, so an edited line comes back in the same shape.
const QByteArray kThreeEntries = "192.168.1.20\t\"zulu\"\t#PRE\r\n"
                                 "10.0.0.1\t\"alpha\"\t#DOM:WORK\r\n"
                                 "172.16.0.5\t\"mike\"\t#COMMENT:print server\r\n";
const QByteArray kZulu = "192.168.1.20\t\"zulu\"\t#PRE\r\n";
const QByteArray kAlpha = "10.0.0.1\t\"alpha\"\t#DOM:WORK\r\n";
const QByteArray kMike = "172.16.0.5\t\"mike\"\t#COMMENT:print server\r\n";
constexpr int kMikeRow = 1;
constexpr int kMikeEntry = 2;

// The editor window on a temporary tree, shown and active.
class OpenWindow : public EditorWindow<>
{
public:
    explicit OpenWindow(const QByteArray* file = &kThreeEntries,
                        const QString& folder = QStringLiteral("Windows"))
        : EditorWindow(file, folder)
    {
    }

    QString cell(int row, int column) const
    {
        QAbstractItemModel* model = list()->model();
        return model->data(model->index(row, column)).toString();
    }
    int rows() const { return list()->model()->rowCount(); }
};

QStringList Strings(std::initializer_list<int> ids)
{
    QStringList result;
    for (int id : ids)
        result << LoadString(id);
    return result;
}

} // namespace

class TestEditorDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void opensSortedWithFirstEntryShownDisabled();
    void editThenSaveWritesTheLine_data();
    void editThenSaveWritesTheLine();
    void arrowKeysMoveThroughEntries();
    void leavingWithoutSaveKeepsTheFile_data();
    void leavingWithoutSaveKeepsTheFile();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void newEntryIsAppended();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void octetChecks_data();
    void octetChecks();
    void textChecks_data();
    void textChecks();
    void longTextsAreNotCut_data();
    void longTextsAreNotCut();
    void veryLongTextsShownShortened_data();
    void veryLongTextsShownShortened();
    void untouchedTextsKeepTheirBytes();
    void messageBoxesShowPlainText_data();
    void messageBoxesShowPlainText();
    void missingFileIsCreated();
    void failedSaveKeepsWindowAndOldFile_data();
    void failedSaveKeepsWindowAndOldFile();
    void externalChangeIsAsked_data();
    void externalChangeIsAsked();
    void unreadFileIsAsked_data();
    void unreadFileIsAsked();
    void lookup_data();
    void lookup();
    void lookupCursor();
    void aboutBox();
    void startUp_data();
    void startUp();
};

void TestEditorDialog::initTestCase()
{
    QApplication::setApplicationName(QStringLiteral("Marlox"));
    InstallTranslations();
}

void TestEditorDialog::opensSortedWithFirstEntryShownDisabled()
{
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());
    QCOMPARE(LmhostsPath(), w.tree.lmhostsPath());
    QVERIFY(hand.seen.isEmpty());

    QCOMPARE(w.dialog->windowTitle(), QStringLiteral("lmhosts[*] \u2014 Marlox LMHOSTS Editor"));
    const QList<QSize> iconSizes = w.dialog->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(16, 16)));
    QVERIFY(iconSizes.contains(QSize(32, 32)));
    const QStringList expected[] = {
        {"alpha", "WORK", "10.0.0.1", "no", ""},
        {"mike", "", "172.16.0.5", "no", "print server"},
        {"zulu", "", "192.168.1.20", "yes", ""},
    };
    QCOMPARE(w.rows(), 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
            QCOMPARE(w.cell(row, column), expected[row][column]);
    // 100 pixels at the design's font, more at a larger one.
    for (int column = 0; column < 5; ++column)
        QVERIFY(w.list()->columnWidth(column) >= 100);
    QVERIFY(w.list()->selectionModel()->selectedRows().isEmpty());

    // The first entry in file order, visible but not editable yet.
    QCOMPARE(w.edit("hostnameEdit")->text(), QStringLiteral("zulu"));
    QCOMPARE(w.edit("octet1Edit")->text(), QStringLiteral("192"));
    QCOMPARE(w.edit("octet4Edit")->text(), QStringLiteral("20"));
    QVERIFY(w.find<QCheckBox>("preloadCheck")->isChecked());
    for (const char* name : {"hostnameEdit", "octet1Edit", "octet2Edit", "octet3Edit", "octet4Edit",
                             "domainEdit", "commentEdit"})
        QVERIFY2(!w.edit(name)->isEnabled(), name);
    QVERIFY(!w.find<QCheckBox>("preloadCheck")->isEnabled());
    QVERIFY(!w.button("deleteButton")->isEnabled());
    QVERIFY(!w.button("lookupButton")->isEnabled());
    QVERIFY(w.button("newButton")->isEnabled());
    QVERIFY(w.button("saveButton")->isEnabled());
    QVERIFY(w.button("saveButton")->isDefault());

    // A click on a row makes its entry the one being edited.
    w.clickRow(kMikeRow);
    QCOMPARE(w.edit("hostnameEdit")->text(), QStringLiteral("mike"));
    QCOMPARE(w.edit("commentEdit")->text(), QStringLiteral("print server"));
    QVERIFY(w.edit("hostnameEdit")->isEnabled());
    QVERIFY(w.button("deleteButton")->isEnabled());
    QCOMPARE(w.dialog->logic().currentEntry(), kMikeEntry);
    QVERIFY(hand.seen.isEmpty());
}

void TestEditorDialog::editThenSaveWritesTheLine_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Save & Exit button") << "button";
    QTest::newRow("Enter in the hostname edit") << "enter-edit";
    QTest::newRow("Enter in the list") << "enter-list";
    QTest::newRow("Enter on the Preload check box") << "enter-check";
    QTest::newRow("mnemonic Alt+S") << "alt-s";
}

void TestEditorDialog::editThenSaveWritesTheLine()
{
    QFETCH(QString, how);
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    w.clickRow(kMikeRow);
    // The label's mnemonic leads to the hostname edit.
    QTest::keyClick(w.dialog.get(), Qt::Key_H, Qt::AltModifier);
    QLineEdit* hostname = w.edit("hostnameEdit");
    QCOMPARE(QApplication::focusWidget(), hostname);
    QTest::keyClick(hostname, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(hostname, QStringLiteral("mikey"));
    // Every keystroke reaches the entry and its row at once; the row stays put.
    QCOMPARE(w.cell(kMikeRow, 0), QStringLiteral("mikey"));
    QCOMPARE(w.dialog->logic().table().at(kMikeEntry).hostname, std::string("mikey"));

    if (how == "button") {
        QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    } else if (how == "enter-edit") {
        QTest::keyClick(hostname, Qt::Key_Return);
    } else if (how == "enter-check") {
        QCheckBox* preload = w.find<QCheckBox>("preloadCheck");
        preload->setFocus(Qt::TabFocusReason);
        QTest::keyClick(preload, Qt::Key_Return);
        QVERIFY(!preload->isChecked());
    } else if (how == "enter-list") {
        QTest::keyClick(hostname, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), w.list());
        QTest::keyClick(w.list(), Qt::Key_Return);
    } else {
        QTest::keyClick(hostname, Qt::Key_S, Qt::AltModifier);
    }

    // A mnemonic clicks its button a moment later, as a visible press.
    QTRY_COMPARE(w.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(hand.texts(), QStringList());
    QVERIFY(!w.dialog->isVisible());
    QCOMPARE(w.tree.read(), kZulu + kAlpha + "172.16.0.5\t\"mikey\"\t#COMMENT:print server\r\n");
}

void TestEditorDialog::arrowKeysMoveThroughEntries()
{
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    w.clickRow(0);
    w.retype("hostnameEdit", QStringLiteral("alpha2"));
    // Back in the list, each arrow key commits the entry and moves to the next one.
    QTest::keyClick(w.edit("hostnameEdit"), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), w.list());
    const struct {
        Qt::Key key;
        const char* shown;
    } steps[] = {{Qt::Key_Down, "mike"},
                 {Qt::Key_Down, "zulu"},
                 {Qt::Key_Down, "zulu"},
                 {Qt::Key_Up, "mike"},
                 {Qt::Key_Up, "alpha2"}};
    for (const auto& step : steps) {
        QTest::keyClick(w.list(), step.key);
        QCOMPARE(w.edit("hostnameEdit")->text(), QString::fromLatin1(step.shown));
        QCOMPARE(w.list()->selectionModel()->selectedRows().size(), 1);
    }
    QCOMPARE(w.cell(0, 0), QStringLiteral("alpha2"));

    QTest::keyClick(w.list(), Qt::Key_Return);
    QCOMPARE(hand.texts(), QStringList());
    QCOMPARE(w.tree.read(), kZulu + "10.0.0.1\t\"alpha2\"\t#DOM:WORK\r\n" + kMike);
}

void TestEditorDialog::leavingWithoutSaveKeepsTheFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Escape on a focused button") << "escape-button";
    QTest::newRow("window close") << "close";
}

void TestEditorDialog::leavingWithoutSaveKeepsTheFile()
{
    QFETCH(QString, how);
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    w.clickRow(kMikeRow);
    w.retype("hostnameEdit", QStringLiteral("changed"));
    QTest::mouseClick(w.button("newButton"), Qt::LeftButton);
    QTest::keyClicks(w.edit("hostnameEdit"), QStringLiteral("added"));
    QCOMPARE(w.rows(), 4);

    if (how == "button")
        QTest::mouseClick(w.button("closeButton"), Qt::LeftButton);
    else if (how == "escape")
        QTest::keyClick(w.edit("hostnameEdit"), Qt::Key_Escape);
    else if (how == "escape-button")
        QTest::keyClick(w.button("newButton"), Qt::Key_Escape);
    else
        QVERIFY(w.dialog->close());

    QCOMPARE(hand.texts(), QStringList());
    QCOMPARE(w.dialog->result(), int(QDialog::Rejected));
    QVERIFY(!w.dialog->isVisible());
    QCOMPARE(w.tree.read(), kThreeEntries);
}

void TestEditorDialog::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("Close") << "closeButton" << false << 3 << QStringList() << QStringList();
    QTest::newRow("New") << "newButton" << true << 4 << QStringList() << QStringList();
    QTest::newRow("Delete asks") << "deleteButton" << true << 3
                                 << QStringList(FormatString(StrDeletePrompt, "mike"))
                                 << QStringList();
    QTest::newRow("Lookup") << "lookupButton" << true << 3 << Strings({StrLookupHostNotFound})
                            << QStringList("172.16.0.5");
}

void TestEditorDialog::enterPressesTheFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(bool, open);
    QFETCH(int, rows);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, asked);
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    w.clickRow(kMikeRow);
    QPushButton* pressed = w.button(button.toLatin1());
    pressed->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), pressed);
    QTest::keyClick(pressed, Qt::Key_Return);

    QCOMPARE(hand.texts(), messages);
    QCOMPARE(w.resolver.asked, asked);
    QCOMPARE(w.dialog->isVisible(), open);
    QCOMPARE(w.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(w.rows(), rows);
    QCOMPARE(w.tree.read(), kThreeEntries);
}

void TestEditorDialog::newEntryIsAppended()
{
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    QTest::mouseClick(w.button("newButton"), Qt::LeftButton);
    QCOMPARE(w.rows(), 4);
    const QModelIndexList selected = w.list()->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(w.cell(selected.first().row(), 0), QStringLiteral("?????"));
    QCOMPARE(QApplication::focusWidget(), w.edit("hostnameEdit"));
    QCOMPARE(w.edit("octet1Edit")->text(), QStringLiteral("0"));

    QTest::keyClicks(w.edit("hostnameEdit"), QStringLiteral("newhost"));
    w.retype("octet1Edit", QStringLiteral("10"));
    w.retype("octet2Edit", QStringLiteral("1"));
    w.retype("octet3Edit", QStringLiteral("2"));
    w.retype("octet4Edit", QStringLiteral("3"));
    QCheckBox* preload = w.find<QCheckBox>("preloadCheck");
    QTest::mouseClick(preload, Qt::LeftButton, {}, QPoint(4, preload->height() / 2));
    QVERIFY(preload->isChecked());
    w.retype("commentEdit", QStringLiteral("added"));
    QCOMPARE(w.cell(selected.first().row(), 0), QStringLiteral("newhost"));
    QCOMPARE(w.cell(selected.first().row(), 2), QStringLiteral("10.1.2.3"));

    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.texts(), QStringList());
    QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(w.tree.read(), kThreeEntries + "10.1.2.3\t\"newhost\"\t#PRE\t#COMMENT:added\r\n");
}

void TestEditorDialog::deleteAsksFirst_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes deletes") << QMessageBox::Yes << true;
    QTest::newRow("No keeps") << QMessageBox::No << false;
    QTest::newRow("Enter keeps") << QMessageBox::NoButton << false;
}

void TestEditorDialog::deleteAsksFirst()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, yes);
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    w.clickRow(kMikeRow);
    hand.answers << answer;
    QTest::mouseClick(w.button("deleteButton"), Qt::LeftButton);

    QCOMPARE(hand.seen.size(), 1);
    const SeenBox& box = hand.seen.first();
    QCOMPARE(box.text, FormatString(StrDeletePrompt, QStringLiteral("mike")));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.title, QStringLiteral("Marlox"));
    QCOMPARE(box.buttons, QStringList({"&Yes", "&No"}));
    QCOMPARE(box.defaultButton, QMessageBox::No);

    QCOMPARE(w.rows(), yes ? 2 : 3);
    QCOMPARE(w.button("deleteButton")->isEnabled(), !yes);
    QCOMPARE(w.edit("hostnameEdit")->isEnabled(), !yes);

    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.seen.size(), 1);
    QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(w.tree.read(), yes ? kZulu + kAlpha : kThreeEntries);
}

void TestEditorDialog::octetChecks_data()
{
    QTest::addColumn<QList<int>>("keys"); // typed after selecting the old text
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("messagesAtSave");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("file");

    const QString range = LoadString(StrEnterOctet);
    const QString integer = LoadString(StrEnterInteger);
    // 256: stored, written, and the last check of Save & Exit keeps the window open.
    QTest::newRow("256") << QList<int>{Qt::Key_2, Qt::Key_5, Qt::Key_6} << QStringList{range} << 256
                         << QStringList{range} << false
                         << kZulu + kAlpha + "172.16.0.256\t\"mike\"\t#COMMENT:print server\r\n";
    // Not a number: never stored; Save & Exit shows the stored entry again and closes.
    QTest::newRow("emptied, then a letter")
        << QList<int>{Qt::Key_Backspace, Qt::Key_X} << QStringList{integer, integer} << 5
        << QStringList{} << true << kThreeEntries;
    QTest::newRow("minus then digit")
        << QList<int>{Qt::Key_Minus, Qt::Key_1} << QStringList{integer, range} << -1
        << QStringList{range} << false
        << kZulu + kAlpha + "172.16.0.-1\t\"mike\"\t#COMMENT:print server\r\n";
    // Beyond three characters a number cannot be written back as it is: never stored.
    QTest::newRow("1000") << QList<int>{Qt::Key_1, Qt::Key_0, Qt::Key_0, Qt::Key_0}
                          << QStringList{range} << 100 << QStringList{} << true
                          << kZulu + kAlpha + "172.16.0.100\t\"mike\"\t#COMMENT:print server\r\n";
    QTest::newRow("-100") << QList<int>{Qt::Key_Minus, Qt::Key_1, Qt::Key_0, Qt::Key_0}
                          << QStringList{integer, range, range, range} << -10 << QStringList{range}
                          << false
                          << kZulu + kAlpha + "172.16.0.-10\t\"mike\"\t#COMMENT:print server\r\n";
    QTest::newRow("fourteen nines")
        << QList<int>(14, Qt::Key_9) << QStringList(12, range) << 999 << QStringList{range} << false
        << kZulu + kAlpha + "172.16.0.999\t\"mike\"\t#COMMENT:print server\r\n";
    QTest::newRow("blanks around a signed number")
        << QList<int>{Qt::Key_Plus, Qt::Key_7, Qt::Key_Space} << QStringList{integer} << 7
        << QStringList{} << true
        << kZulu + kAlpha + "172.16.0.7\t\"mike\"\t#COMMENT:print server\r\n";
}

void TestEditorDialog::octetChecks()
{
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, messages);
    QFETCH(int, stored);
    QFETCH(QStringList, messagesAtSave);
    QFETCH(bool, closes);
    QFETCH(QByteArray, file);
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    w.clickRow(kMikeRow);
    QLineEdit* octet4 = w.edit("octet4Edit");
    QTest::mouseClick(octet4, Qt::LeftButton);
    QTest::keyClick(octet4, Qt::Key_A, Qt::ControlModifier);
    for (int key : keys)
        QTest::keyClick(octet4, Qt::Key(key));

    QCOMPARE(hand.texts(), messages);
    for (const SeenBox& box : hand.seen)
        QCOMPARE(box.icon, QMessageBox::Warning);
    // The window's focus: it is the active one again once the box has gone.
    QCOMPARE(w.dialog->focusWidget(), octet4);
    QCOMPARE(w.dialog->logic().table().at(kMikeEntry).octet4, stored);
    QCOMPARE(w.dialog->logic().fields().octet4, stored);

    hand.seen.clear();
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.texts(), messagesAtSave);
    QCOMPARE(w.dialog->isVisible(), !closes);
    QCOMPARE(w.dialog->result(), int(closes ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(w.tree.read(), file);
}

void TestEditorDialog::textChecks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("typed");   // appended to the hostname; "\b": Backspace
    QTest::addColumn<QString>("message"); // while editing and at Save & Exit; empty: none
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("written");

    const QString tooLong = LoadString(StrEnterShortText);
    // An all-ASCII file is Windows-1252, which has no Omega: the text is refused whole.
    QTest::newRow("character the file cannot hold")
        << QByteArray("10.0.0.9\t\"mike\"\r\n") << QStringLiteral("\u03A9")
        << FormatString(StrCannotEncode, QStringLiteral("\u03A9"), QStringLiteral("Windows-1252"))
        << QByteArray("mike") << true << QByteArray("10.0.0.9\t\"mike\"\r\n");
    // The typing limit: a longer text is stored, reported, written, and the window
    // stays open.
    const QByteArray limitName(512, 'a');
    QTest::newRow("typed 513th character") << "10.0.0.9\t\"" + limitName + "\"\r\n"
                                           << QStringLiteral("b") << tooLong << limitName + "b"
                                           << false << "10.0.0.9\t\"" + limitName + "b\"\r\n";
    // A longer name from the file is not the user's doing: it may stay as long as it is.
    const QByteArray longName(600, 'a');
    const QByteArray longFile = "10.0.0.9\t\"" + longName + "\"\r\n";
    QTest::newRow("name longer than 512 from the file, unchanged")
        << longFile << QString() << QString() << longName << true << longFile;
    QTest::newRow("name longer than 512 from the file, shortened")
        << longFile << QStringLiteral("\b") << QString() << longName.left(599) << true
        << "10.0.0.9\t\"" + longName.left(599) + "\"\r\n";
    QTest::newRow("name longer than 512 from the file, made longer")
        << longFile << QStringLiteral("b") << tooLong << longName + "b" << false
        << "10.0.0.9\t\"" + longName + "b\"\r\n";
}

void TestEditorDialog::textChecks()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QByteArray, stored);
    QFETCH(bool, closes);
    QFETCH(QByteArray, written);
    MessageHand hand;
    OpenWindow w(&file);
    QVERIFY(w.activate());

    w.clickRow(0);
    QLineEdit* hostname = w.edit("hostnameEdit");
    QCOMPARE(hostname->text().toLatin1(),
             file.mid(file.indexOf('"') + 1, file.lastIndexOf('"') - file.indexOf('"') - 1));
    QTest::mouseClick(hostname, Qt::LeftButton);
    QTest::keyClick(hostname, Qt::Key_End);
    if (typed == "\b")
        QTest::keyClick(hostname, Qt::Key_Backspace);
    else if (!typed.isEmpty())
        QTest::sendKeyEvent(QTest::Click, hostname, Qt::Key_unknown, typed, Qt::NoModifier);

    const QStringList messages = message.isEmpty() ? QStringList() : QStringList(message);
    QCOMPARE(hand.texts(), messages);
    QCOMPARE(w.dialog->focusWidget(), hostname);
    QCOMPARE(QByteArray::fromStdString(w.dialog->logic().table().at(0).hostname), stored);

    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.texts(), closes ? messages : messages + messages);
    QCOMPARE(w.dialog->isVisible(), !closes);
    QCOMPARE(w.tree.read(), written);
}

void TestEditorDialog::longTextsAreNotCut_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("edit");   // pasted into, replacing its text
    QTest::addColumn<QString>("pasted"); // empty: the address is edited instead
    QTest::addColumn<bool>("tooLong");
    QTest::addColumn<QByteArray>("written");

    const QByteArray mike = "10.0.0.9\t\"mike\"\r\n";
    // Longer than a line edit takes unless told otherwise.
    const QByteArray comment = QByteArray("word ").repeated(8000) + "end";
    const QByteArray name(600, 'b');
    QTest::newRow("comment from the file")
        << "10.0.0.9\t\"mike\"\t#COMMENT:" + comment + "\r\n"
        << QString() << QString() << false << "10.0.0.7\t\"mike\"\t#COMMENT:" + comment + "\r\n";
    QTest::newRow("pasted comment") << mike << "commentEdit" << QString::fromLatin1(comment)
                                    << false << "10.0.0.9\t\"mike\"\t#COMMENT:" + comment + "\r\n";
    // Refused by the length check, not cut: the user sees what is wrong.
    QTest::newRow("pasted hostname") << mike << "hostnameEdit" << QString::fromLatin1(name) << true
                                     << "10.0.0.9\t\"" + name + "\"\r\n";
    QTest::newRow("pasted domain") << mike << "domainEdit" << QString::fromLatin1(name) << true
                                   << "10.0.0.9\t\"mike\"\t#DOM:" + name + "\r\n";
}

void TestEditorDialog::longTextsAreNotCut()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, edit);
    QFETCH(QString, pasted);
    QFETCH(bool, tooLong);
    QFETCH(QByteArray, written);
    MessageHand hand;
    OpenWindow w(&file);
    QVERIFY(w.activate());

    w.clickRow(0);
    if (pasted.isEmpty()) {
        w.retype("octet4Edit", QStringLiteral("7"));
    } else {
        QApplication::clipboard()->setText(pasted);
        QLineEdit* target = w.edit(edit.toLatin1());
        QTest::mouseClick(target, Qt::LeftButton);
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(target->text(), pasted);
    }
    const QStringList messages = tooLong ? Strings({StrEnterShortText}) : QStringList();
    QCOMPARE(hand.texts(), messages);

    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.texts(), tooLong ? messages + messages : messages);
    QCOMPARE(w.dialog->isVisible(), tooLong);
    QCOMPARE(w.tree.read(), written);
}

void TestEditorDialog::veryLongTextsShownShortened_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("line"); // "%" stands for the long text

    QTest::newRow("hostname") << "hostnameEdit" << 0 << QByteArray("10.0.0.9\t\"%\"");
    QTest::newRow("domain") << "domainEdit" << 1 << QByteArray("10.0.0.9\t\"mike\"\t#DOM:%");
    QTest::newRow("comment") << "commentEdit" << 4 << QByteArray("10.0.0.9\t\"mike\"\t#COMMENT:%");
}

void TestEditorDialog::veryLongTextsShownShortened()
{
    QFETCH(QString, edit);
    QFETCH(int, column);
    QFETCH(QByteArray, line);
    // UTF-8 with characters of two and three bytes: a cut may fall inside one.
    const QByteArray text = QByteArray("\xC3\xA4xy\xE2\x82\xAC").repeated(100000) + "end";
    const QString decoded = QString::fromUtf8(text);
    QByteArray before = line;
    before.replace('%', text);
    const QByteArray file = before + "\r\n";
    MessageHand hand;
    OpenWindow w(&file);
    QVERIFY(w.activate());

    // The list and the edit show the beginning; the edit cannot change it.
    const QString cell = w.cell(0, column);
    QVERIFY2(cell.size() < 2000, qPrintable(QString::number(cell.size())));
    QVERIFY(cell.endsWith(QChar(0x2026)));
    QVERIFY(decoded.startsWith(cell.chopped(1)));
    w.clickRow(0);
    QLineEdit* shown = w.edit(edit.toLatin1());
    QVERIFY(shown->isReadOnly());
    QVERIFY(shown->text().endsWith(QChar(0x2026)));
    QVERIFY(decoded.startsWith(shown->text().chopped(1)));

    // Another field's edit keeps the whole text; Save & Exit takes it as it is.
    w.retype("octet4Edit", QStringLiteral("7"));
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.texts(), QStringList());
    QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    QByteArray after = before;
    after.replace("10.0.0.9", "10.0.0.7");
    QCOMPARE(w.tree.read(), after + "\r\n");
}

void TestEditorDialog::untouchedTextsKeepTheirBytes()
{
    // A UTF-8 file whose texts begin with U+FEFF, which QString::fromUtf8 drops:
    // should a decoding lose it, encoding what the edits show must not.
    const QByteArray line = "\t\"\xEF\xBB\xBFm\xC3\xBCller\"\t#DOM:\xEF\xBB\xBFWORK"
                            "\t#COMMENT:\xEF\xBB\xBFnote\r\n";
    const QByteArray file = "10.0.0.9" + line;
    MessageHand hand;
    OpenWindow w(&file);
    QVERIFY(w.activate());

    w.clickRow(0);
    w.retype("octet4Edit", QStringLiteral("7"));
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.texts(), QStringList());
    QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(w.tree.read(), "10.0.0.7" + line);
}

void TestEditorDialog::messageBoxesShowPlainText_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("shows");

    QTest::newRow("delete prompt naming the entry") << "Windows"
                                                    << "<b>srv</b>";
    QTest::newRow("load error naming the path") << "<i>Windows"
                                                << "<i>Windows";
}

void TestEditorDialog::messageBoxesShowPlainText()
{
    QFETCH(QString, folder);
    QFETCH(QString, shows);
    const QByteArray file = "10.0.0.9\t\"<b>srv</b>\"\r\n";
    MessageHand hand;
    // The load error comes from a missing file.
    OpenWindow w(folder == "Windows" ? &file : nullptr, folder);
    QVERIFY(w.activate());
    if (folder == "Windows") {
        w.clickRow(0);
        hand.answers << QMessageBox::No;
        QTest::mouseClick(w.button("deleteButton"), Qt::LeftButton);
    }

    QCOMPARE(hand.seen.size(), 1);
    QVERIFY2(hand.seen.first().text.contains(shows), qPrintable(hand.seen.first().text));
    QCOMPARE(hand.seen.first().format, Qt::PlainText);
}

void TestEditorDialog::missingFileIsCreated()
{
    MessageHand hand;
    OpenWindow w(nullptr);
    QVERIFY(w.activate());

    QCOMPARE(hand.seen.size(), 1);
    // Named as the program spells a file that is not there yet.
    QVERIFY2(hand.seen.first().text.startsWith(
                 FormatString(StrCannotOpenForReading, LmhostsPath(), QString())),
             qPrintable(hand.texts()[0]));
    QVERIFY(LmhostsPath().startsWith(w.tree.etcPath() + "/"));
    QCOMPARE(hand.seen.first().icon, QMessageBox::Warning);
    QCOMPARE(w.rows(), 0);
    QVERIFY(w.edit("hostnameEdit")->isEnabled());
    QVERIFY(!w.button("deleteButton")->isEnabled());

    QTest::mouseClick(w.button("newButton"), Qt::LeftButton);
    QTest::keyClicks(w.edit("hostnameEdit"), QStringLiteral("fresh"));
    w.retype("octet1Edit", QStringLiteral("10"));
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.seen.size(), 1);
    QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    QFile created(LmhostsPath());
    QVERIFY(created.open(QIODevice::ReadOnly));
    QCOMPARE(created.readAll(), QByteArray("10.0.0.0\t\"fresh\"\r\n"));
}

void TestEditorDialog::failedSaveKeepsWindowAndOldFile_data()
{
    QTest::addColumn<QString>("how");
    // Root writes anywhere; a folder that turned into a file stops root too.
    QTest::newRow("folder replaced by a file") << "file";
    QTest::newRow("folder not writable") << "mode";
}

void TestEditorDialog::failedSaveKeepsWindowAndOldFile()
{
    QFETCH(QString, how);
    if (how == "mode" && geteuid() == 0)
        QSKIP("root ignores folder permissions");
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());
    w.clickRow(kMikeRow);
    w.retype("hostnameEdit", QStringLiteral("mikey"));

    const QString etc = w.tree.etcPath();
    const QString moved = etc + QStringLiteral(".moved");
    if (how == "file") {
        QVERIFY(QDir().rename(etc, moved));
        QFile blocker(etc);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QFile::setPermissions(etc, QFile::ReadOwner | QFile::ExeOwner));
    }

    // The file looks gone when its folder is: that question comes first.
    hand.answers << QMessageBox::Yes;
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);

    if (how == "file") {
        QVERIFY(QFile::remove(etc));
        QVERIFY(QDir().rename(moved, etc));
    } else {
        QVERIFY(QFile::setPermissions(etc, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QVERIFY(!hand.seen.isEmpty());
    const SeenBox& error = hand.seen.last();
    QVERIFY2(error.text.contains(w.tree.etcPath() + "/lmhosts", Qt::CaseInsensitive),
             qPrintable(error.text));
    QCOMPARE(error.icon, QMessageBox::Warning);
    QVERIFY(w.dialog->isVisible());
    QCOMPARE(w.tree.read(), kThreeEntries);
    QCOMPARE(w.rows(), 3);

    // Nothing was lost: a second try writes the edit.
    hand.seen.clear();
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.texts(), QStringList());
    QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(w.tree.read(), kZulu + kAlpha + "172.16.0.5\t\"mikey\"\t#COMMENT:print server\r\n");
}

void TestEditorDialog::externalChangeIsAsked_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("No keeps the other program's file") << QMessageBox::No << false;
    QTest::newRow("Enter keeps it too") << QMessageBox::NoButton << false;
    QTest::newRow("Yes overwrites it") << QMessageBox::Yes << true;
}

void TestEditorDialog::externalChangeIsAsked()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, overwrite);
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());
    w.clickRow(kMikeRow);
    w.retype("commentEdit", QStringLiteral("moved"));

    const QByteArray theirs = kThreeEntries + "10.9.9.9\t\"other\"\r\n";
    w.tree.write(theirs);
    hand.answers << answer;
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);

    QCOMPARE(hand.seen.size(), 1);
    QCOMPARE(hand.seen.first().text, FormatString(StrFileChangedOnDisk, w.tree.lmhostsPath()));
    QCOMPARE(hand.seen.first().icon, QMessageBox::Question);
    QCOMPARE(w.dialog->isVisible(), !overwrite);
    QCOMPARE(w.tree.read(),
             overwrite ? kZulu + kAlpha + "172.16.0.5\t\"mike\"\t#COMMENT:moved\r\n" : theirs);
}

void TestEditorDialog::unreadFileIsAsked_data()
{
    QTest::addColumn<bool>("pipe"); // else a UTF-16 file
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("UTF-16, Enter keeps it") << false << QMessageBox::NoButton;
    QTest::newRow("UTF-16, No keeps it") << false << QMessageBox::No;
    QTest::newRow("UTF-16, Yes replaces it") << false << QMessageBox::Yes;
    QTest::newRow("pipe, Yes still keeps it") << true << QMessageBox::Yes;
}

// A file the window could not read is not replaced unasked, and a pipe not at all.
void TestEditorDialog::unreadFileIsAsked()
{
    QFETCH(bool, pipe);
    QFETCH(QMessageBox::StandardButton, answer);
    MessageHand hand;
    const QByteArray utf16("\xFF\xFE"
                           "1\0.\0"
                           "2\0.\0"
                           "3\0.\0"
                           "4\0 \0"
                           "a\0",
                           20);
    OpenWindow w(pipe ? nullptr : &utf16);
    if (pipe) {
        QVERIFY(::mkfifo(QFile::encodeName(w.tree.lmhostsPath()).constData(), 0644) == 0);
        hand.seen.clear(); // the first window found no file at all
        w.dialog = ShowEditor(w.resolver);
    }
    QVERIFY(w.activate());
    QCOMPARE(hand.seen.size(), 1); // why it could not be read
    QCOMPARE(w.rows(), 0);
    QTest::mouseClick(w.button("newButton"), Qt::LeftButton);
    QTest::keyClicks(w.edit("hostnameEdit"), QStringLiteral("fresh"));

    hand.answers << answer;
    QTest::mouseClick(w.button("saveButton"), Qt::LeftButton);
    QCOMPARE(hand.seen.size(), pipe ? 3 : 2);
    QCOMPARE(hand.seen.at(1).text, FormatString(StrReplaceUnreadFile, w.tree.lmhostsPath()));
    QCOMPARE(hand.seen.at(1).icon, QMessageBox::Question);
    const bool replaced = !pipe && answer == QMessageBox::Yes;
    QCOMPARE(w.dialog->isVisible(), !replaced);
    if (pipe) {
        QVERIFY(hand.seen.at(2).text.contains(LoadString(StrNotRegularFile)));
        QVERIFY(QFileInfo(w.tree.lmhostsPath()).exists());
        QVERIFY(!QFileInfo(w.tree.lmhostsPath()).isFile());
    } else {
        QCOMPARE(w.tree.read(), replaced ? QByteArray("0.0.0.0\t\"fresh\"\r\n") : utf16);
    }
}

void TestEditorDialog::lookup_data()
{
    QTest::addColumn<LookupStatus>("status");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("found, dots become dashes") << LookupStatus::Found << "printer.example.org"
                                               << "printer-example-org" << QStringList();
    QTest::newRow("host not found") << LookupStatus::HostNotFound << ""
                                    << "mike" << Strings({StrLookupHostNotFound});
    QTest::newRow("try again") << LookupStatus::TryAgain << ""
                               << "mike" << Strings({StrLookupServerFailure});
    QTest::newRow("network down") << LookupStatus::NetworkDown << ""
                                  << "mike" << Strings({StrLookupNetworkDown});
    QTest::newRow("other error") << LookupStatus::OtherError << ""
                                 << "mike" << Strings({StrLookupFailed});
}

void TestEditorDialog::lookup()
{
    QFETCH(LookupStatus, status);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(QStringList, messages);
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());
    w.resolver.answer = {status, name.toStdString()};

    w.clickRow(kMikeRow);
    QTest::mouseClick(w.button("lookupButton"), Qt::LeftButton);

    QCOMPARE(w.resolver.asked, QStringList({"172.16.0.5"}));
    QCOMPARE(hand.texts(), messages);
    for (const SeenBox& box : hand.seen) {
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QStringList({"OK"}));
    }
    QCOMPARE(w.edit("hostnameEdit")->text(), shown);
    // Shown, not stored: neither the entry nor its row take the name by themselves.
    QCOMPARE(w.dialog->logic().table().at(kMikeEntry).hostname, std::string("mike"));
    QCOMPARE(w.cell(kMikeRow, 0), QStringLiteral("mike"));
    QVERIFY(!w.dialog->logic().modified());
}

void TestEditorDialog::lookupCursor()
{
    const auto currentCursor = [] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor ? int(cursor->shape()) : -1;
    };
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());
    QList<int> cursors; // at each box and while the name service is asked, in turn
    hand.inspect = [&](QMessageBox&) {
        cursors << currentCursor();
    };
    w.resolver.whileAsked = [&] {
        cursors << currentCursor();
    };

    w.clickRow(kMikeRow);
    // An octet the check refuses: typing it tells the user, and so does the Lookup
    // button, which then asks about the address as it was.
    w.retype("octet4Edit", QStringLiteral("x"));
    QCOMPARE(cursors, QList<int>{-1});
    QTest::mouseClick(w.button("lookupButton"), Qt::LeftButton);

    QCOMPARE(hand.texts(), Strings({StrEnterInteger, StrEnterInteger, StrLookupHostNotFound}));
    QCOMPARE(w.resolver.asked, QStringList({"172.16.0.5"}));
    // No busy cursor over the check's box; busy while asking; the arrow over the answer.
    QCOMPARE(cursors, (QList<int>{-1, -1, int(Qt::WaitCursor), int(Qt::ArrowCursor)}));
    QCOMPARE(currentCursor(), -1);
}

void TestEditorDialog::aboutBox()
{
    MessageHand hand;
    OpenWindow w;
    QVERIFY(w.activate());

    QStringList dialogs;
    CloseNextDialog(dialogs);
    QTest::keyClick(w.dialog.get(), Qt::Key_F1);
    QCOMPARE(dialogs, QStringList("AboutDialog"));
    QVERIFY(hand.seen.isEmpty());

    // Right-click beside the fields: the window's menu, a separator, then About.
    QStringList menuItems;
    QTimer::singleShot(50, [&menuItems] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            menuItems << (action->isSeparator() ? QStringLiteral("--") : action->text());
        menu->close();
    });
    QLabel* label = w.find<QLabel>("commentLabel");
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2),
                                 label->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(label, &rightClick);
    QTRY_COMPARE(menuItems, QStringList({"--", LoadString(StrAboutMenuItem)}));
    QCOMPARE(dialogs, QStringList("AboutDialog"));
    QVERIFY(hand.seen.isEmpty());
}

void TestEditorDialog::startUp_data()
{
    QTest::addColumn<bool>("prepares");
    QTest::newRow("name service unavailable") << false;
    QTest::newRow("name service ready") << true;
}

void TestEditorDialog::startUp()
{
    QFETCH(bool, prepares);
    // A folder where the file should be: reading it could only fail, loudly.
    WindowsTree tree;
    QVERIFY(QDir().mkpath(tree.lmhostsPath()));
    FakeResolver resolver;
    resolver.prepares = prepares;
    MessageHand hand;
    QStringList dialogs;
    CloseNextDialog(dialogs);

    StartEditor(resolver);

    QCOMPARE(resolver.prepareCalls, 1);
    if (!prepares) {
        QCOMPARE(hand.seen.size(), 1);
        QCOMPARE(hand.seen.first().text, LoadString(StrSocketInitFailed));
        QCOMPARE(hand.seen.first().icon, QMessageBox::NoIcon);
        QCOMPARE(hand.seen.first().buttons, QStringList({"OK"}));
    } else {
        // The load's complaint, then the window itself, closed by the test.
        QCOMPARE(hand.seen.size(), 1);
        QVERIFY(hand.seen[0].text.contains(tree.lmhostsPath()));
        QCOMPARE(dialogs, QStringList("EditorDialog"));
    }
}

QTEST_MAIN(TestEditorDialog)
#include "tst_editordialog.moc"
