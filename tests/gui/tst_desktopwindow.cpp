// The window as a desktop application: which file is open and whether it has
// unsaved changes, a size that fits the screen, columns that fit their texts,
// tooltips, dotted-address typing, the Delete key and accessible names.

#include "editordialog.h"
#include "hostlistdelegate.h"
#include "lmhostsfile.h"
#include "stringtable.h"
#include "windowkit.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTreeView>

namespace
{

// alpha's line keeps words that no column shows.
const QByteArray kFile = "192.168.1.20 zulu #PRE\r\n"
                         "10.0.0.1 alpha #MH #primary domain controller\r\n"
                         "172.16.0.5 mike #COMMENT:print server\r\n";
constexpr int kAlphaRow = 0;
constexpr int kMikeRow = 1;

struct Window : EditorWindow<> {
    explicit Window(const QByteArray& bytes = kFile) : EditorWindow(&bytes) {}

    QStringList octets() const
    {
        QStringList texts;
        for (const char* name : {"octet1Edit", "octet2Edit", "octet3Edit", "octet4Edit"})
            texts << edit(name)->text();
        return texts;
    }
};

} // namespace

class TestDesktopWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void titleNamesTheFileAndItsChanges();
    void fitsTheScreen();
    void columnsFitTheirTexts();
    void tooltipsShowWhatTheCellsDoNot();
    void dottedAddress_data();
    void dottedAddress();
    void deleteKeyAsksFirst_data();
    void deleteKeyAsksFirst();
    void accessibleNames();
};

void TestDesktopWindow::initTestCase()
{
    InstallTranslations();
}

void TestDesktopWindow::titleNamesTheFileAndItsChanges()
{
    MessageHand hand;
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.dialog.get()));
    QCOMPARE(w.dialog->windowTitle(), QStringLiteral("lmhosts[*] \u2014 Marlox LMHOSTS Editor"));
    QCOMPARE(w.find<QLabel>("pathLabel")->toolTip(), w.tree.lmhostsPath());
    QVERIFY(!w.dialog->isWindowModified());

    // Looking at a row changes nothing; typing does.
    w.clickRow(kMikeRow);
    QVERIFY(!w.dialog->isWindowModified());
    QTest::keyClicks(w.edit("commentEdit"), QStringLiteral("!"));
    QVERIFY(w.dialog->isWindowModified());

    // A file given by name shows that name.
    const QString samba = w.tree.root() + QStringLiteral("/lmhosts.test");
    QVERIFY(QFile::copy(w.tree.lmhostsPath(), samba));
    UseLmhostsFile(samba);
    Window named;
    QCOMPARE(named.dialog->windowTitle(),
             QStringLiteral("lmhosts.test[*] \u2014 Marlox LMHOSTS Editor"));
    QCOMPARE(named.find<QLabel>("pathLabel")->toolTip(), samba);
    UseLmhostsFile({});
    QVERIFY(hand.seen.isEmpty());
}

// Also run at twice the scale on a 1280 x 1024 screen (see CMakeLists.txt).
void TestDesktopWindow::fitsTheScreen()
{
    MessageHand hand;
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.dialog.get()));
    const Qt::WindowFlags flags = w.dialog->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QRect screen = w.dialog->screen()->availableGeometry();
    QVERIFY2(w.dialog->width() <= screen.width() && w.dialog->height() <= screen.height(),
             qPrintable(QStringLiteral("%1x%2 on %3x%4")
                            .arg(w.dialog->width())
                            .arg(w.dialog->height())
                            .arg(screen.width())
                            .arg(screen.height())));
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QStringLiteral("2"))
        QCOMPARE(w.dialog->devicePixelRatio(), 2.0);
}

void TestDesktopWindow::columnsFitTheirTexts()
{
    MessageHand hand;
    QFont large = QApplication::font();
    large.setPointSizeF(large.pointSizeF() * 2);
    QApplication::setFont(large);
    Window w;
    QApplication::setFont(QFont());
    QTreeView* list = w.list();
    const QFontMetrics metrics = list->fontMetrics();
    QVERIFY(list->columnWidth(2) > metrics.horizontalAdvance(QStringLiteral("192.168.100.200")));
    QVERIFY(list->columnWidth(0) > metrics.horizontalAdvance(QStringLiteral("FILESERVER01234")));
    for (int column = 0; column < 5; ++column)
        QVERIFY(list->columnWidth(column) > 100);
    QCOMPARE(list->header()->sectionResizeMode(0), QHeaderView::Interactive);
    QVERIFY(list->header()->stretchLastSection());
}

void TestDesktopWindow::tooltipsShowWhatTheCellsDoNot()
{
    MessageHand hand;
    const QString longComment(300, u'c');
    Window w(kFile + "10.0.0.9 wide #COMMENT:" + longComment.toLatin1() + "\r\n");
    QVERIFY(QTest::qWaitForWindowExposed(w.dialog.get()));
    auto* delegate = dynamic_cast<HostListDelegate*>(w.list()->itemDelegate());
    QVERIFY(delegate);
    auto tip = [&](int row, int column) {
        QStyleOptionViewItem option;
        option.initFrom(w.list()->viewport());
        option.widget = w.list();
        const QModelIndex index = w.list()->model()->index(row, column);
        option.rect = w.list()->visualRect(index);
        return delegate->toolTip(option, index);
    };
    // alpha, mike, wide, zulu
    QCOMPARE(tip(kAlphaRow, 0),
             FormatString(StrAlsoOnLine, QStringLiteral("#MH #primary domain controller")));
    QCOMPARE(tip(kMikeRow, 0), QString());
    QCOMPARE(tip(2, 4), longComment);
    QCOMPARE(tip(2, 0), QString());
}

void TestDesktopWindow::dottedAddress_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QStringList>("octets");

    QTest::newRow("typed into the first field")
        << "octet1Edit"
        << "127.0.0.1" << false << QStringList{"127", "0", "0", "1"};
    QTest::newRow("pasted into the third field")
        << "octet3Edit"
        << "10.1.2.3" << true << QStringList{"10", "1", "2", "3"};
    QTest::newRow("a dot moves on") << "octet2Edit"
                                    << "9." << false << QStringList{"172", "9", "0", "5"};
}

void TestDesktopWindow::dottedAddress()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, paste);
    QFETCH(QStringList, octets);
    MessageHand hand;
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(w.dialog.get()));
    w.clickRow(kMikeRow);
    QLineEdit* edit = w.edit(qPrintable(field));
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (paste) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else {
        // Each key to whichever field has the focus, as a keyboard does.
        for (const QChar c : text) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            QCoreApplication::processEvents();
        }
    }
    QTRY_COMPARE(w.octets(), octets);
    QCOMPARE(hand.texts(), QStringList());
    // Stored in the entry as ordinary changes.
    const HostEntry& mike = w.dialog->logic().table().at(2);
    QCOMPARE(QStringList({QString::number(mike.octet1), QString::number(mike.octet2),
                          QString::number(mike.octet3), QString::number(mike.octet4)}),
             octets);
}

void TestDesktopWindow::deleteKeyAsksFirst_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("Yes deletes") << QMessageBox::Yes << 2;
    QTest::newRow("No keeps") << QMessageBox::No << 3;
}

void TestDesktopWindow::deleteKeyAsksFirst()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, rowsAfter);
    MessageHand hand;
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(w.dialog.get()));
    // Nothing picked yet, Delete disabled: the key does nothing either.
    w.list()->setFocus();
    QTest::keyClick(w.list(), Qt::Key_Delete);
    QCOMPARE(hand.texts(), QStringList());

    w.clickRow(kMikeRow);
    hand.answers << answer;
    QTest::keyClick(w.list(), Qt::Key_Delete);
    QCOMPARE(hand.texts(), QStringList{FormatString(StrDeletePrompt, QStringLiteral("mike"))});
    QCOMPARE(w.list()->model()->rowCount(), rowsAfter);
}

void TestDesktopWindow::accessibleNames()
{
    MessageHand hand;
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.dialog.get()));
    auto name = [](QWidget* widget) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        return iface ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
    };
    const char* octets[] = {"octet1Edit", "octet2Edit", "octet3Edit", "octet4Edit"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(name(w.edit(octets[i])), LoadString(StrAccessibleOctet1 + i));
    QCOMPARE(name(w.list()), LoadString(StrAccessibleHostList));
    // The rest take their names from their labels or texts, in the window's language.
    for (QWidget* widget : w.dialog->findChildren<QWidget*>()) {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isVisible())
            QVERIFY2(!name(widget).isEmpty(), qPrintable(widget->objectName()));
    }
    QVERIFY(name(w.edit("hostnameEdit")).startsWith(LoadString(StrColumnHostname).left(4)));

    // The list tells its cells.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.list());
    QVERIFY(list && list->tableInterface());
    QAccessibleInterface* cell = list->tableInterface()->cellAt(0, 0);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("alpha"));
    QCOMPARE(list->tableInterface()->columnCount(), 5);
}

QTEST_MAIN(TestDesktopWindow)
#include "tst_desktopwindow.moc"
