// The window's warnings summary, find bar and NetBIOS lookup, driven through real
// keyboard and mouse events; the lookups keep the window repainting.

#include "editorapp.h"
#include "editordialog.h"
#include "hostlistdelegate.h"
#include "hostlistmodel.h"
#include "stringtable.h"
#include "windowkit.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace
{

// Sorted rows: alpha, ALPHA, averyveryverylongname, bravo, charlie. Warned: both
// alphas (the same name twice), the long name, charlie (a domain without #PRE);
// and the #INCLUDE of a server no #PRE entry names.
const QByteArray kWarned = "10.0.0.1\talpha\r\n"
                           "10.0.0.2\tALPHA\r\n"
                           "10.0.0.3\tbravo\r\n"
                           "10.0.0.4\taveryveryverylongname\r\n"
                           "10.0.0.5\tcharlie\t#DOM:WORK\r\n"
                           "#INCLUDE \\\\<b>srv</b>\\share\\lmhosts\r\n";
const QByteArray kClean = "10.0.0.1\talpha\r\n"
                          "10.0.0.3\tbravo\r\n";
// Sorted rows: alpha, mike, zulu; "l" is in alpha and zulu only.
const QByteArray kThree = "192.168.1.20\tzulu\t#PRE\r\n"
                          "10.0.0.1\talpha\r\n"
                          "172.16.0.5\tmike\t#print server\r\n";
// Sorted rows: localpc (asked on loopback), other.
const QByteArray kLoopback = "127.0.0.1\tlocalpc\r\n"
                             "10.0.0.9\tother\r\n";

// --- a NetBIOS name service of the test's own on 127.0.0.1

QByteArray Word(unsigned value)
{
    return QByteArray(1, char(value >> 8)) + char(value & 0xFF);
}

// A node status answer naming `name` as the workstation (suffix 0x00, unique, active);
// the first two bytes are replaced by the request's id.
QByteArray NodeStatusAnswer(QByteArray name)
{
    const QByteArray star = QByteArray("\x20"
                                       "CK") +
                            QByteArray(30, 'A') + QByteArray(1, '\0');
    const QByteArray entry = name.leftJustified(15, ' ') + char(0x00) + Word(0x0400);
    const QByteArray data = char(1) + entry + QByteArray(46, '\x11');
    return Word(0) + Word(0x8400) + Word(0) + Word(1) + Word(0) + Word(0) + star + Word(0x0021) +
           Word(0x0001) + QByteArray(4, '\0') + Word(data.size()) + data;
}

// Answers every request with `reply` (none when empty), the request's id put in.
class Responder
{
public:
    explicit Responder(QByteArray reply) : reply_(std::move(reply))
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~Responder()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }

    std::uint16_t port() const { return port_; }
    int requests() const { return requests_; }

private:
    void Run()
    {
        while (!stop_) {
            pollfd wait{fd_, POLLIN, 0};
            if (::poll(&wait, 1, 20) <= 0)
                continue;
            QByteArray buffer(2048, '\0');
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t got = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                           reinterpret_cast<sockaddr*>(&from), &length);
            if (got < 2)
                continue;
            ++requests_;
            if (reply_.isEmpty())
                continue;
            QByteArray reply = reply_;
            reply[0] = buffer[0];
            reply[1] = buffer[1];
            ::sendto(fd_, reply.constData(), reply.size(), 0,
                     reinterpret_cast<const sockaddr*>(&from), length);
        }
    }

    QByteArray reply_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_ = false;
    std::atomic<int> requests_ = 0;
    std::thread thread_;
};

// Asks the test's responder instead of port 137, with short tries.
class LoopbackResolver : public FakeResolver
{
public:
    NetbiosResult NodeStatus(const std::array<std::int32_t, 4>& octets) override
    {
        if (whileNodeStatus)
            whileNodeStatus();
        return NetbiosLookup(octets, port, 150ms);
    }

    std::uint16_t port = 0;
    std::function<void()> whileNodeStatus;
};

class OpenWindow : public EditorWindow<LoopbackResolver>
{
public:
    explicit OpenWindow(const QByteArray& file) : EditorWindow(&file) {}

    const HostListModel& model() const
    {
        return *qobject_cast<const HostListModel*>(list()->model());
    }
    QString cell(int row) const { return model().cellText(row, 0); }
    int selectedRow() const
    {
        const QModelIndexList rows = list()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }
    // The row is the one being edited, as a click on it makes it.
    void verifyEditing(int row) const
    {
        QCOMPARE(selectedRow(), row);
        QCOMPARE(dialog->logic().currentEntry(), model().entryIndexOfRow(row));
        QCOMPARE(edit("hostnameEdit")->text(), cell(row));
        QVERIFY(edit("hostnameEdit")->isEnabled());
    }
};

// Clicks `action` in the next popup menu that opens.
void ClickInNextMenu(const char* action, bool* clicked)
{
    QTimer::singleShot(50, [action, clicked] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* item : menu->actions()) {
            if (item->objectName() == QLatin1String(action)) {
                *clicked = true;
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
                return;
            }
        }
        menu->close();
    });
}

} // namespace

class TestNetbiosKnowhow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void warningsShown();
    void cleanFileHasNoWarnings();
    void nextWarning_data();
    void nextWarning();
    void find();
    void netbiosLookup_data();
    void netbiosLookup();
    void lookupsKeepRepainting_data();
    void lookupsKeepRepainting();
};

void TestNetbiosKnowhow::initTestCase()
{
    QApplication::setApplicationName(QStringLiteral("Marlox"));
    InstallTranslations();
}

void TestNetbiosKnowhow::warningsShown()
{
    MessageHand hand;
    OpenWindow w(kWarned);
    QVERIFY(w.activate());
    const QStringList sorted = {"alpha", "ALPHA", "averyveryverylongname", "bravo", "charlie"};
    const bool warned[] = {true, true, true, false, true};
    QCOMPARE(w.model().rowCount(), 5);

    auto* delegate = dynamic_cast<HostListDelegate*>(w.list()->itemDelegate());
    QVERIFY(delegate);
    QStyleOptionViewItem option;
    option.initFrom(w.list()->viewport());
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(w.cell(row), sorted[row]);
        const QModelIndex index = w.model().index(row, 0);
        QCOMPARE(index.data(HostListModel::kWarningRole).toBool(), warned[row]);
        const QString rowTip = index.data(Qt::ToolTipRole).toString();
        QCOMPARE(!rowTip.isEmpty(), warned[row]);
        option.rect = w.list()->visualRect(index);
        QVERIFY(delegate->toolTip(option, index).contains(rowTip));
    }

    auto* summary = w.find<QPushButton>("warningSummary");
    QVERIFY(summary->isVisible());
    QCOMPARE(summary->text(), FormatString(StrWarningCount, QStringLiteral("5")));
    // The file's own warning, its server name as text and not as markup.
    const QString fileWarnings = w.model().fileWarningTexts();
    QVERIFY(fileWarnings.contains(QStringLiteral("<b>srv</b>")));
    QCOMPARE(summary->toolTip(), (LoadString(StrNextWarningTip) + "\n\n" + fileWarnings)
                                     .toHtmlEscaped()
                                     .replace(u'\n', "<br>"));

    // A warning gone with an edit: the summary follows.
    w.clickRow(4);
    QTest::mouseClick(w.edit("domainEdit"), Qt::LeftButton);
    QTest::keyClick(w.edit("domainEdit"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.edit("domainEdit"), Qt::Key_Delete);
    QCOMPARE(summary->text(), FormatString(StrWarningCount, QStringLiteral("4")));
    QVERIFY(hand.seen.isEmpty());
}

void TestNetbiosKnowhow::cleanFileHasNoWarnings()
{
    MessageHand hand;
    OpenWindow w(kClean);
    QVERIFY(w.activate());
    for (int row = 0; row < 2; ++row) {
        QVERIFY(!w.model().index(row, 0).data(HostListModel::kWarningRole).toBool());
        QVERIFY(w.model().index(row, 0).data(Qt::ToolTipRole).toString().isEmpty());
    }
    auto* summary = w.find<QPushButton>("warningSummary");
    QVERIFY(!summary->isVisible());
    // One warning made by typing: the singular text.
    w.clickRow(1);
    QTest::mouseClick(w.edit("hostnameEdit"), Qt::LeftButton);
    QTest::keyClick(w.edit("hostnameEdit"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.edit("hostnameEdit"), QStringLiteral("averyveryverylongname"));
    QVERIFY(summary->isVisible());
    QCOMPARE(summary->text(), LoadString(StrWarningCountOne));
    // F8 with nothing to go to but the row being edited stays there.
    QTest::keyClick(w.dialog.get(), Qt::Key_F8);
    QCOMPARE(w.selectedRow(), 1);
    QVERIFY(hand.seen.isEmpty());
}

void TestNetbiosKnowhow::nextWarning_data()
{
    QTest::addColumn<bool>("byClick");
    QTest::newRow("F8") << false;
    QTest::newRow("click on the summary") << true;
}

void TestNetbiosKnowhow::nextWarning()
{
    QFETCH(bool, byClick);
    MessageHand hand;
    OpenWindow w(kWarned);
    QVERIFY(w.activate());
    auto* summary = w.find<QPushButton>("warningSummary");
    const auto next = [&] {
        if (byClick)
            QTest::mouseClick(summary, Qt::LeftButton);
        else
            QTest::keyClick(w.edit("hostnameEdit"), Qt::Key_F8);
    };

    // Nothing selected yet: the first warned row; then on in row order, past bravo,
    // and round to the top.
    for (int row : {0, 1, 2, 4, 0}) {
        next();
        w.verifyEditing(row);
        QVERIFY(w.list()->hasFocus());
    }
    // From a row picked by hand.
    w.clickRow(3);
    next();
    w.verifyEditing(4);
    QVERIFY(hand.seen.isEmpty());
}

void TestNetbiosKnowhow::find()
{
    MessageHand hand;
    OpenWindow w(kThree);
    QVERIFY(w.activate());
    QCOMPARE(w.cell(0), QStringLiteral("alpha"));
    QCOMPARE(w.cell(2), QStringLiteral("zulu"));
    auto* bar = w.find<QWidget>("findBar");
    QLineEdit* field = w.edit("findEdit");
    QVERIFY(!bar->isVisible());

    w.clickRow(0);
    QTest::keyClick(w.dialog.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QVERIFY(field->hasFocus());
    // The row being edited matches: it stays.
    QTest::keyClicks(field, QStringLiteral("l"));
    w.verifyEditing(0);
    QTest::keyClick(field, Qt::Key_Return);
    w.verifyEditing(2);
    QTest::keyClick(field, Qt::Key_F3);
    w.verifyEditing(0);
    QTest::keyClick(field, Qt::Key_F3, Qt::ShiftModifier);
    w.verifyEditing(2);
    QTest::keyClick(field, Qt::Key_Enter);
    w.verifyEditing(0);
    // F3 from elsewhere in the window while the bar is open.
    QTest::mouseClick(w.edit("commentEdit"), Qt::LeftButton);
    QTest::keyClick(w.edit("commentEdit"), Qt::Key_F3);
    w.verifyEditing(2);
    QVERIFY(field->hasFocus() == false);
    // Typing from the start: the first match.
    w.clickRow(1);
    QTest::keyClick(w.dialog.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("mik"));
    w.verifyEditing(1);

    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QVERIFY(w.list()->hasFocus());
    // Closed: F3 finds nothing more.
    QTest::keyClick(w.list(), Qt::Key_F3);
    w.verifyEditing(1);

    // Enter and Escape in the field neither saved nor closed the window.
    QVERIFY(w.dialog->isVisible());
    QCOMPARE(w.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(w.tree.read(), kThree);
    QVERIFY(hand.seen.isEmpty());
}

void TestNetbiosKnowhow::netbiosLookup_data()
{
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("messages");

    const QStringList noAnswer = {FormatString(StrNetbiosNoAnswer, QStringLiteral("127.0.0.1"))};
    const QByteArray named = NodeStatusAnswer("MYPC");
    const QByteArray malformed = named.left(named.size() - 30);
    for (bool byMenu : {true, false}) {
        const QByteArray how = byMenu ? "menu: " : "Ctrl+L: ";
        QTest::newRow(how + "name") << byMenu << named << "MYPC" << QStringList();
        QTest::newRow(how + "no answer") << byMenu << QByteArray() << "localpc" << noAnswer;
        QTest::newRow(how + "malformed answer") << byMenu << malformed << "localpc" << noAnswer;
    }
}

void TestNetbiosKnowhow::netbiosLookup()
{
    QFETCH(bool, byMenu);
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QFETCH(QStringList, messages);
    MessageHand hand;
    Responder responder(reply);
    OpenWindow w(kLoopback);
    w.resolver.port = responder.port();
    QVERIFY(w.activate());
    auto* arrow = w.find<QToolButton>("lookupMenuButton");
    QCOMPARE(arrow->accessibleName(), LoadString(StrLookupNetbiosItem).remove(u'&'));

    // No entry being edited: no lookup of any kind.
    QVERIFY(!arrow->isEnabled());
    QTest::keyClick(w.dialog.get(), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(responder.requests(), 0);

    w.clickRow(0);
    QVERIFY(arrow->isEnabled());
    if (byMenu) {
        bool clicked = false;
        ClickInNextMenu("netbiosLookupAction", &clicked);
        QTest::mouseClick(arrow, Qt::LeftButton);
        QVERIFY(clicked);
    } else {
        QTest::keyClick(w.edit("hostnameEdit"), Qt::Key_L, Qt::ControlModifier);
    }

    QVERIFY(responder.requests() >= 1);
    QVERIFY(w.resolver.asked.isEmpty()); // not a DNS lookup
    QCOMPARE(hand.texts(), messages);
    QCOMPARE(w.edit("hostnameEdit")->text(), shown);
    // Shown, not stored: another row discards it.
    QVERIFY(!w.dialog->logic().modified());
    QCOMPARE(w.cell(0), QStringLiteral("localpc"));
    w.clickRow(1);
    w.clickRow(0);
    QCOMPARE(w.edit("hostnameEdit")->text(), QStringLiteral("localpc"));
    QCOMPARE(w.tree.read(), kLoopback);
}

void TestNetbiosKnowhow::lookupsKeepRepainting_data()
{
    QTest::addColumn<bool>("netbios");
    QTest::newRow("DNS, the Lookup button") << false;
    QTest::newRow("NetBIOS, Ctrl+L") << true;
}

void TestNetbiosKnowhow::lookupsKeepRepainting()
{
    QFETCH(bool, netbios);
    MessageHand hand;
    Responder responder(NodeStatusAnswer("SLOWPC"));
    OpenWindow w(kLoopback);
    w.resolver.port = responder.port();
    w.resolver.answer = {LookupStatus::Found, "slow.example"};
    QVERIFY(w.activate());

    std::atomic<bool> timerFired = false;
    bool firedWhileAsked = false;
    const auto slowly = [&] {
        std::this_thread::sleep_for(300ms);
        firedWhileAsked = timerFired;
    };
    w.resolver.whileAsked = slowly;
    w.resolver.whileNodeStatus = slowly;

    w.clickRow(0);
    QTimer::singleShot(20, [&] { timerFired = true; });
    if (netbios)
        QTest::keyClick(w.edit("hostnameEdit"), Qt::Key_L, Qt::ControlModifier);
    else
        QTest::mouseClick(w.find<QPushButton>("lookupButton"), Qt::LeftButton);

    QVERIFY(firedWhileAsked);
    QCOMPARE(w.edit("hostnameEdit")->text(), netbios ? "SLOWPC" : "slow-example");
    QVERIFY(hand.seen.isEmpty());
}

QTEST_MAIN(TestNetbiosKnowhow)
#include "tst_netbiosknowhow.moc"
