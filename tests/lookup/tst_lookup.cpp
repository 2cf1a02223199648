#include "lookup.h"
#include "stringtable.h"
#include "systemresolver.h"

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <cerrno>
#include <netdb.h>
#include <stdexcept>

namespace
{

// The cursor shape in force right now, or -1 for none.
int CurrentCursor()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? int(cursor->shape()) : -1;
}

// Records what the lookup asks of the window. TransferFromControls can play a check
// that fails after storing some of the controls.
class FakeDialog : public EditorDialogOps
{
public:
    explicit FakeDialog(HostEntry& fields) : fields_(fields) {}

    void TransferToControls() override
    {
        calls << "to";
        cursorAtTransferTo = CurrentCursor();
    }
    bool TransferFromControls() override
    {
        calls << "from";
        cursorAtTransferFrom = CurrentCursor();
        if (failingTransfer)
            fields_.octet4 = failingOctet4;
        return !failingTransfer;
    }
    void EnableControl(ControlId, bool) override { calls << "enable"; }
    void FocusControl(ControlId) override { calls << "focus"; }
    bool AskYesNo(const QString&) override
    {
        calls << "ask";
        return false;
    }

    QStringList calls;
    int cursorAtTransferFrom = -2;
    int cursorAtTransferTo = -2;
    bool failingTransfer = false;
    std::int32_t failingOctet4 = 0;

private:
    HostEntry& fields_;
};

class FakeResolver : public NameResolver
{
public:
    explicit FakeResolver(LookupResult answer = {}) : answer_(std::move(answer)) {}

    bool Prepare() override { return true; }
    LookupResult ReverseLookup(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                               std::uint8_t d) override
    {
        asked << QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d);
        cursorWhileAsked = CurrentCursor();
        if (throws)
            throw std::runtime_error("resolver gone");
        return answer_;
    }

    QStringList asked;
    int cursorWhileAsked = -2;
    bool throws = false;

private:
    LookupResult answer_;
};

HostEntry SampleFields()
{
    HostEntry e;
    e.hostname = "oldname";
    e.domain = "WORKGROUP";
    e.comment = "printer room";
    e.octet1 = 192;
    e.octet2 = 168;
    e.octet3 = 10;
    e.octet4 = 20;
    e.preload = true;
    return e;
}

} // namespace

Q_DECLARE_METATYPE(LookupStatus)

class TestLookup : public QObject
{
    Q_OBJECT

private slots:
    void outcome_data();
    void outcome();
    void addressOutOfRange_data();
    void addressOutOfRange();
    void failedTransferStillLooksUp();
    void cursorFollowsTheSteps();
    void cursorRestoredWhenResolverThrows();
    void nameInfoErrors_data();
    void nameInfoErrors();
    void systemResolverNamesLoopback();
    void systemResolverInFreshNetworkNamespace();
};

void TestLookup::outcome_data()
{
    QTest::addColumn<LookupStatus>("status");
    QTest::addColumn<QByteArray>("answeredName");
    QTest::addColumn<QByteArray>("expectedHostname");
    QTest::addColumn<int>("expectedMessageId"); // 0: no message

    QTest::newRow("found, dots become dashes")
        << LookupStatus::Found << QByteArray("alpha.beta.gamma") << QByteArray("alpha-beta-gamma")
        << 0;
    QTest::newRow("found, name without dots")
        << LookupStatus::Found << QByteArray("fileserver") << QByteArray("fileserver") << 0;
    QTest::newRow("found, trailing dot")
        << LookupStatus::Found << QByteArray("host.example.") << QByteArray("host-example-") << 0;
    QTest::newRow("network down") << LookupStatus::NetworkDown << QByteArray()
                                  << QByteArray("oldname") << 105;
    QTest::newRow("host not found")
        << LookupStatus::HostNotFound << QByteArray() << QByteArray("oldname") << 106;
    QTest::newRow("server failure")
        << LookupStatus::TryAgain << QByteArray() << QByteArray("oldname") << 107;
    QTest::newRow("other error") << LookupStatus::OtherError << QByteArray()
                                 << QByteArray("oldname") << 108;
}

void TestLookup::outcome()
{
    QFETCH(LookupStatus, status);
    QFETCH(QByteArray, answeredName);
    QFETCH(QByteArray, expectedHostname);
    QFETCH(int, expectedMessageId);

    HostEntry fields = SampleFields();
    FakeDialog dialog(fields);
    FakeResolver resolver({status, answeredName.toStdString()});
    QStringList messages;

    RunLookup(dialog, fields, resolver, [&](const QString& text) { messages << text; });

    QCOMPARE(resolver.asked, QStringList{"192.168.10.20"});
    QCOMPARE(dialog.calls, (QStringList{"from", "to"}));
    if (expectedMessageId == 0)
        QCOMPARE(messages, QStringList());
    else
        QCOMPARE(messages, QStringList{LoadString(expectedMessageId)});

    // Only the hostname may change; nothing else of the entry is touched.
    HostEntry expected = SampleFields();
    expected.hostname = expectedHostname.toStdString();
    QCOMPARE(fields, expected);
}

void TestLookup::addressOutOfRange_data()
{
    QTest::addColumn<int>("o1");
    QTest::addColumn<int>("o2");
    QTest::addColumn<int>("o3");
    QTest::addColumn<int>("o4");

    QTest::newRow("256 first") << 256 << 0 << 0 << 1;
    QTest::newRow("negative") << 10 << -1 << 0 << 1;
    QTest::newRow("large last") << 10 << 0 << 0 << 1000;
    QTest::newRow("would wrap to 127.0.0.1") << 127 << 0 << 0 << 257;
}

void TestLookup::addressOutOfRange()
{
    QFETCH(int, o1);
    QFETCH(int, o2);
    QFETCH(int, o3);
    QFETCH(int, o4);

    HostEntry fields = SampleFields();
    fields.octet1 = o1;
    fields.octet2 = o2;
    fields.octet3 = o3;
    fields.octet4 = o4;
    const HostEntry before = fields;
    FakeDialog dialog(fields);
    FakeResolver resolver({LookupStatus::Found, "should.not.appear"});
    QStringList messages;

    RunLookup(dialog, fields, resolver, [&](const QString& text) { messages << text; });

    QCOMPARE(resolver.asked, QStringList());
    QCOMPARE(messages, QStringList{LoadString(106)});
    QCOMPARE(dialog.calls, (QStringList{"from", "to"}));
    QCOMPARE(fields, before);
}

void TestLookup::failedTransferStillLooksUp()
{
    // The check stored 77 into the last octet and then failed on a later control.
    HostEntry fields = SampleFields();
    FakeDialog dialog(fields);
    dialog.failingTransfer = true;
    dialog.failingOctet4 = 77;
    FakeResolver resolver({LookupStatus::Found, "gw.lan"});

    RunLookup(dialog, fields, resolver, [](const QString&) {});

    QCOMPARE(resolver.asked, QStringList{"192.168.10.77"});
    QCOMPARE(fields.hostname, std::string("gw-lan"));
    QCOMPARE(dialog.calls, (QStringList{"from", "to"}));
}

void TestLookup::cursorFollowsTheSteps()
{
    HostEntry fields = SampleFields();
    FakeDialog dialog(fields);
    FakeResolver resolver({LookupStatus::HostNotFound, {}});
    int cursorAtMessage = -2;

    RunLookup(dialog, fields, resolver, [&](const QString&) { cursorAtMessage = CurrentCursor(); });

    QCOMPARE(dialog.cursorAtTransferFrom, -1); // a check message must not show a busy cursor
    QCOMPARE(resolver.cursorWhileAsked, int(Qt::WaitCursor));
    QCOMPARE(cursorAtMessage, int(Qt::ArrowCursor));
    QCOMPARE(dialog.cursorAtTransferTo, int(Qt::WaitCursor));
    QCOMPARE(CurrentCursor(), -1);
}

void TestLookup::cursorRestoredWhenResolverThrows()
{
    HostEntry fields = SampleFields();
    FakeDialog dialog(fields);
    FakeResolver resolver;
    resolver.throws = true;

    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             RunLookup(dialog, fields, resolver, [](const QString&) {}));
    QCOMPARE(resolver.cursorWhileAsked, int(Qt::WaitCursor));
    QCOMPARE(CurrentCursor(), -1);
    QCOMPARE(fields, SampleFields());
}

void TestLookup::nameInfoErrors_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("systemError");
    QTest::addColumn<LookupStatus>("expected");

    QTest::newRow("no name") << EAI_NONAME << 0 << LookupStatus::HostNotFound;
    QTest::newRow("try again") << EAI_AGAIN << 0 << LookupStatus::TryAgain;
    QTest::newRow("system, network down") << EAI_SYSTEM << ENETDOWN << LookupStatus::NetworkDown;
    QTest::newRow("system, unreachable") << EAI_SYSTEM << ENETUNREACH << LookupStatus::NetworkDown;
    QTest::newRow("system, other errno") << EAI_SYSTEM << ECONNREFUSED << LookupStatus::OtherError;
    QTest::newRow("errno ignored without system")
        << EAI_FAIL << ENETDOWN << LookupStatus::OtherError;
    QTest::newRow("memory") << EAI_MEMORY << 0 << LookupStatus::OtherError;
    QTest::newRow("overflow") << EAI_OVERFLOW << 0 << LookupStatus::OtherError;
}

void TestLookup::nameInfoErrors()
{
    QFETCH(int, code);
    QFETCH(int, systemError);
    QFETCH(LookupStatus, expected);

    QCOMPARE(StatusFromNameInfoError(code, systemError), expected);
}

void TestLookup::systemResolverNamesLoopback()
{
    // Answered from /etc/hosts; the only address the real resolver is ever asked about here.
    SystemResolver resolver;
    QVERIFY(resolver.Prepare());
    const LookupResult result = resolver.ReverseLookup(127, 0, 0, 1);
    QCOMPARE(result.status, LookupStatus::Found);
    QCOMPARE(result.name, std::string("localhost"));
}

void TestLookup::systemResolverInFreshNetworkNamespace()
{
    // A new network namespace has only a loopback interface, which is down, and no route
    // anywhere: the lookup must say so without asking, while loopback still resolves.
    const QStringList addresses{"192.0.2.1", "127.0.0.1"};
    QProcess probe;
    QString refusal;
    for (const QStringList& flags : {QStringList{"-n"}, QStringList{"-r", "-n"}}) {
        probe.start("unshare", flags + QStringList{LOOKUP_PROBE} + addresses);
        if (!probe.waitForFinished(60000))
            QSKIP("unshare could not be run");
        const QString errors = QString::fromLocal8Bit(probe.readAllStandardError()).trimmed();
        if (probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            break;
        // Only unshare's own refusal is a reason to skip; a failing probe is a failure.
        if (!errors.startsWith("unshare:"))
            QFAIL(qPrintable("probe failed: " + errors));
        refusal = errors;
    }
    if (probe.exitCode() != 0)
        QSKIP(qPrintable("no network namespace here: " + refusal));

    const QString output = QString::fromLocal8Bit(probe.readAllStandardOutput());
    QCOMPARE(output, QString("192.0.2.1 NetworkDown \n127.0.0.1 Found localhost\n"));
}

QTEST_MAIN(TestLookup)
#include "tst_lookup.moc"
