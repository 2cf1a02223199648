#include "fakeresolver.h"
#include "lookup.h"
#include "stringtable.h"
#include "systemresolver.h"
#include "waitcursor.h"

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

const std::array<std::int32_t, 4> kAddress = {192, 168, 10, 20};

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
    void cursorGuardsNestAndUnwind();
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
    QTest::newRow("network down") << LookupStatus::NetworkDown << QByteArray() << QByteArray()
                                  << 105;
    QTest::newRow("host not found")
        << LookupStatus::HostNotFound << QByteArray() << QByteArray() << 106;
    QTest::newRow("not found, a stray name is not taken")
        << LookupStatus::HostNotFound << QByteArray("stray") << QByteArray() << 106;
    QTest::newRow("server failure")
        << LookupStatus::TryAgain << QByteArray() << QByteArray() << 107;
    QTest::newRow("other error") << LookupStatus::OtherError << QByteArray() << QByteArray() << 108;
}

void TestLookup::outcome()
{
    QFETCH(LookupStatus, status);
    QFETCH(QByteArray, answeredName);
    QFETCH(QByteArray, expectedHostname);
    QFETCH(int, expectedMessageId);

    FakeResolver resolver({status, answeredName.toStdString()});

    const LookupOutcome outcome = LookUpName(kAddress, resolver);

    QCOMPARE(resolver.asked, QStringList{"192.168.10.20"});
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.found(), expectedMessageId == 0);
    QCOMPARE(QByteArray::fromStdString(outcome.hostname), expectedHostname);
    QCOMPARE(outcome.messageId, expectedMessageId);
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

    FakeResolver resolver({LookupStatus::Found, "should.not.appear"});

    const LookupOutcome outcome = LookUpName({o1, o2, o3, o4}, resolver);

    QCOMPARE(resolver.asked, QStringList());
    QCOMPARE(outcome.status, LookupStatus::HostNotFound);
    QCOMPARE(outcome.hostname, std::string());
    QCOMPARE(outcome.messageId, int(StrLookupHostNotFound));
}

void TestLookup::cursorGuardsNestAndUnwind()
{
    // The Lookup button's busy cursor gives way to the arrow over a message box, and
    // a resolver that throws must not leave the busy cursor behind.
    QCOMPARE(CurrentCursor(), -1);
    try {
        OverrideCursor wait(Qt::WaitCursor);
        QCOMPARE(CurrentCursor(), int(Qt::WaitCursor));
        {
            OverrideCursor arrow(Qt::ArrowCursor);
            QCOMPARE(CurrentCursor(), int(Qt::ArrowCursor));
        }
        QCOMPARE(CurrentCursor(), int(Qt::WaitCursor));
        throw std::runtime_error("resolver gone");
    } catch (const std::runtime_error&) {
    }
    QCOMPARE(CurrentCursor(), -1);
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
    // The only address the real resolver is ever asked about here. Its name is the
    // machine's to choose (localhost, localhost.localdomain, ...): any name will do.
    SystemResolver resolver;
    QVERIFY(resolver.Prepare());
    const LookupResult result = resolver.ReverseLookup(127, 0, 0, 1);
    QCOMPARE(result.status, LookupStatus::Found);
    QVERIFY(!result.name.empty());
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

    const QStringList lines =
        QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString("192.0.2.1 NetworkDown "));
    // Loopback keeps whatever name the machine gives it.
    QVERIFY2(lines[1].startsWith("127.0.0.1 Found ") && lines[1].size() > 16, qPrintable(lines[1]));
}

QTEST_MAIN(TestLookup)
#include "tst_lookup.moc"
