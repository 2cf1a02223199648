#include "nbstat.h"
#include "netbioslookup.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTest>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace
{

// Answers in these tests come from loopback at once; only a try that must run out waits
// this long.
constexpr std::chrono::milliseconds kTestTimeout = 500ms;

constexpr std::uint16_t kId = 0x5AC3;
constexpr std::uint16_t kUniqueActive = 0x0400;
constexpr std::uint16_t kGroupActive = 0x8400;

std::span<const std::uint8_t> Span(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

QByteArray Word(unsigned value)
{
    return QByteArray(1, char(value >> 8)) + char(value & 0xFF);
}

QByteArray Header(std::uint16_t id, unsigned flags, unsigned questions, unsigned answers)
{
    return Word(id) + Word(flags) + Word(questions) + Word(answers) + Word(0) + Word(0);
}

// "*" padded with NULs, first-level encoded, no scope.
QByteArray StarName()
{
    return QByteArray("\x20"
                      "CK") +
           QByteArray(30, 'A') + QByteArray(1, '\0');
}

// A node name entry; the name is padded with blanks to 15 bytes.
QByteArray Entry(QByteArray name, std::uint8_t suffix, std::uint16_t flags)
{
    name = name.leftJustified(15, ' ');
    return name + char(suffix) + Word(flags);
}

// Node status record data: the name count, the names, and 46 bytes of statistics.
QByteArray NodeData(const QList<QByteArray>& entries)
{
    return char(entries.size()) + entries.join() + QByteArray(46, '\x11');
}

QByteArray Record(const QByteArray& name, unsigned type, const QByteArray& data)
{
    return name + Word(type) + Word(0x0001) + QByteArray(4, '\0') + Word(data.size()) + data;
}

QByteArray Response(const QList<QByteArray>& entries, std::uint16_t id = kId)
{
    return Header(id, 0x8400, 0, 1) + Record(StarName(), 0x0021, NodeData(entries));
}

// What a Windows host answers: its domain as a group, the server service and then the
// workstation name, then a few more.
QByteArray FullResponse(std::uint16_t id = kId)
{
    return Response({Entry("WORKGROUP", 0x00, kGroupActive), Entry("MYPC", 0x20, kUniqueActive),
                     Entry("MYPC", 0x00, kUniqueActive), Entry("WORKGROUP", 0x1E, kGroupActive),
                     Entry("OTHERPC", 0x00, kUniqueActive)},
                    id);
}

QByteArray GroupsOnlyResponse(std::uint16_t id = kId)
{
    return Response({Entry("WORKGROUP", 0x00, kGroupActive), Entry("MYPC", 0x20, kUniqueActive),
                     Entry("MYPC", 0x03, kUniqueActive)},
                    id);
}

QByteArray HandBuiltRequest(std::uint16_t id)
{
    QByteArray request;
    request += Word(id);
    request += QByteArray("\x00\x00" // flags: query, no recursion, not broadcast
                          "\x00\x01" // one question
                          "\x00\x00" // no answers
                          "\x00\x00" // no authority
                          "\x00\x00" // no additional records
                          "\x20"     // label of 32 bytes
                          "CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
                          "\x00"      // root
                          "\x00\x21"  // NBSTAT
                          "\x00\x01", // IN
                          50 - 2);
    return request;
}

struct Reply {
    enum Kind { OwnId, OtherId, AsIs, FromOtherPort };
    QByteArray bytes;
    Kind kind = OwnId;
};
// The replies to the first, second, ... request; requests beyond the list go unanswered.
using Script = QList<QList<Reply>>;

// A NetBIOS name service of its own on 127.0.0.1 that answers requests as scripted and
// keeps what it received.
class Responder
{
public:
    explicit Responder(Script script = {}) : script_(std::move(script))
    {
        fd_ = BoundSocket();
        otherFd_ = BoundSocket();
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~Responder()
    {
        Stop();
        ::close(fd_);
        ::close(otherFd_);
    }

    std::uint16_t Port() const { return port_; }

    // Ends the service and returns every request it took in.
    QList<QByteArray> Stop()
    {
        if (thread_.joinable()) {
            stop_ = true;
            thread_.join();
        }
        return requests_;
    }

private:
    static int BoundSocket()
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        return fd;
    }

    void Run()
    {
        for (;;) {
            // Whatever was sent before Stop() is already queued on loopback: take it too.
            const bool last = stop_;
            pollfd wait{fd_, POLLIN, 0};
            if (::poll(&wait, 1, last ? 0 : 20) > 0)
                Answer();
            else if (last)
                return;
        }
    }

    void Answer()
    {
        QByteArray buffer(65536, '\0');
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t got = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                       reinterpret_cast<sockaddr*>(&from), &length);
        if (got < 0)
            return;
        buffer.truncate(got);
        requests_.append(buffer);
        if (requests_.size() > script_.size() || got < 2)
            return;
        for (Reply reply : script_[requests_.size() - 1]) {
            if (reply.kind != Reply::AsIs && reply.bytes.size() >= 2) {
                reply.bytes[0] = buffer[0];
                reply.bytes[1] = char(reply.kind == Reply::OtherId ? buffer[1] ^ 0x40 : buffer[1]);
            }
            const int fd = reply.kind == Reply::FromOtherPort ? otherFd_ : fd_;
            ::sendto(fd, reply.bytes.constData(), reply.bytes.size(), 0,
                     reinterpret_cast<const sockaddr*>(&from), length);
        }
    }

    Script script_;
    int fd_ = -1;
    int otherFd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_ = false;
    QList<QByteArray> requests_;
    std::thread thread_;
};

} // namespace

Q_DECLARE_METATYPE(NodeStatusKind)
Q_DECLARE_METATYPE(NetbiosOutcome)
Q_DECLARE_METATYPE(Script)

char* toString(NodeStatusKind kind)
{
    static const char* const names[] = {"WorkstationName", "NotOurs", "NoWorkstationName",
                                        "Malformed"};
    return qstrdup(names[int(kind)]);
}

char* toString(NetbiosOutcome outcome)
{
    static const char* const names[] = {"Name", "NoAnswer", "NoWorkstationName", "NetworkDown",
                                        "InvalidAddress"};
    return qstrdup(names[int(outcome)]);
}

class TestNetbiosLookup : public QObject
{
    Q_OBJECT

private slots:
    void requestBytes();
    void parse_data();
    void parse();
    void everyTruncationIsMalformed();
    void exchange_data();
    void exchange();
    void invalidAddressSendsNothing_data();
    void invalidAddressSendsNothing();
    void nobodyListening();
    void transactionIdsDiffer();
    void networkDownInFreshNamespace();
};

void TestNetbiosLookup::requestBytes()
{
    const auto request = NodeStatusRequest(0xA51C);
    const QByteArray expected = HandBuiltRequest(0xA51C);
    QCOMPARE(expected.size(), 50);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(request.data()), int(request.size())),
             expected);
}

void TestNetbiosLookup::parse_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<NodeStatusKind>("kind");
    QTest::addColumn<QByteArray>("name");

    const auto name = NodeStatusKind::WorkstationName;
    const auto noName = NodeStatusKind::NoWorkstationName;
    const auto notOurs = NodeStatusKind::NotOurs;
    const auto bad = NodeStatusKind::Malformed;
    const QByteArray mypc = Entry("MYPC", 0x00, kUniqueActive);
    const QByteArray data = NodeData({mypc});
    const QByteArray record = Record(StarName(), 0x0021, data);
    const QByteArray question = StarName() + Word(0x0021) + Word(0x0001);

    // Names
    QTest::newRow("workstation name among groups and other suffixes")
        << FullResponse() << name << QByteArray("MYPC");
    QTest::newRow("trailing blanks and NULs dropped, inner blank kept")
        << Response({QByteArray("MY PC\0 \0  \0\0  \0\0", 15) + '\0' + Word(kUniqueActive)}) << name
        << QByteArray("MY PC");
    QTest::newRow("bytes kept as sent") << Response({Entry("K\xC4SE\x01\xFF", 0x00, kUniqueActive)})
                                        << name << QByteArray("K\xC4SE\x01\xFF");
    QTest::newRow("all 15 bytes") << Response({Entry("ABCDEFGHIJKLMNO", 0x00, kUniqueActive)})
                                  << name << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("first of two unique names")
        << Response({Entry("FIRST", 0x00, 0), Entry("SECOND", 0x00, kUniqueActive)}) << name
        << QByteArray("FIRST");
    QTest::newRow("name of only padding passed over")
        << Response({QByteArray(15, ' ') + '\0' + Word(kUniqueActive), mypc}) << name
        << QByteArray("MYPC");

    // Answers without a workstation name
    QTest::newRow("only group names and other suffixes")
        << GroupsOnlyResponse() << noName << QByteArray();
    QTest::newRow("no names") << Response({}) << noName << QByteArray();
    QTest::newRow("error code") << Header(kId, 0x8403, 0, 0) << noName << QByteArray();

    // Someone else's
    QTest::newRow("other transaction") << FullResponse(kId ^ 0x0100) << notOurs << QByteArray();
    QTest::newRow("a request, not a response")
        << Header(kId, 0x0000, 0, 1) + record << notOurs << QByteArray();
    QTest::newRow("other operation")
        << Header(kId, 0x8400 | 5 << 11, 0, 1) + record << notOurs << QByteArray();
    QTest::newRow("name query answer")
        << Header(kId, 0x8500, 0, 1) + Record(StarName(), 0x0020, Word(0) + QByteArray(4, '\1'))
        << notOurs << QByteArray();

    // Layouts a host may send
    QTest::newRow("question repeated")
        << Header(kId, 0x8400, 1, 1) + question + record << name << QByteArray("MYPC");
    QTest::newRow("compressed answer name")
        << Header(kId, 0x8400, 1, 1) + question + Record("\xC0\x0C", 0x0021, data) << name
        << QByteArray("MYPC");
    QTest::newRow("other record before the node status")
        << Header(kId, 0x8400, 0, 2) + Record(StarName(), 0x0020, QByteArray(6, '\1')) + record
        << name << QByteArray("MYPC");
    QTest::newRow("answer count too high")
        << Header(kId, 0x8400, 0, 0xFFFF) + record << name << QByteArray("MYPC");
    QTest::newRow("no statistics")
        << Header(kId, 0x8400, 0, 1) + Record(StarName(), 0x0021, char(1) + mypc) << name
        << QByteArray("MYPC");
    QTest::newRow("trailing bytes")
        << FullResponse() + QByteArray(3000, '\xEE') << name << QByteArray("MYPC");

    // Broken
    QTest::newRow("empty") << QByteArray() << bad << QByteArray();
    QTest::newRow("no answer records") << Header(kId, 0x8400, 0, 0) + record << bad << QByteArray();
    QTest::newRow("question count too high")
        << Header(kId, 0x8400, 0xFFFF, 1) + record << bad << QByteArray();
    QTest::newRow("name count beyond the data")
        << Header(kId, 0x8400, 0, 1) + Record(StarName(), 0x0021, char(3) + mypc + mypc) << bad
        << QByteArray();
    QTest::newRow("data length beyond the datagram")
        << (Header(kId, 0x8400, 0, 1) + record).chopped(1) << bad << QByteArray();
    QTest::newRow("empty record data")
        << Header(kId, 0x8400, 0, 1) + Record(StarName(), 0x0021, {}) << bad << QByteArray();
    QTest::newRow("pointer forward")
        << Header(kId, 0x8400, 0, 1) + Record("\xC0\x30", 0x0021, data) << bad << QByteArray();
    QTest::newRow("pointer to itself")
        << Header(kId, 0x8400, 0, 1) + Record("\xC0\x0C", 0x0021, data) << bad << QByteArray();
    QTest::newRow("pointer cut off") << Header(kId, 0x8400, 0, 1) + "\xC0" << bad << QByteArray();
    QTest::newRow("reserved label kind")
        << Header(kId, 0x8400, 0, 1) + Record("\x40" + StarName(), 0x0021, data) << bad
        << QByteArray();
    QTest::newRow("name longer than 255 bytes")
        << Header(kId, 0x8400, 0, 1) +
               Record((char(63) + QByteArray(63, 'A')).repeated(5) + QByteArray(1, '\0'), 0x0021,
                      data)
        << bad << QByteArray();
    QTest::newRow("garbage with our id")
        << Word(kId) + QByteArray::fromHex("8400 7fee 0102 0304 0506 c1ff") << bad << QByteArray();
}

void TestNetbiosLookup::parse()
{
    QFETCH(QByteArray, datagram);
    QFETCH(NodeStatusKind, kind);
    QFETCH(QByteArray, name);

    const NodeStatusAnswer answer = ParseNodeStatusResponse(Span(datagram), kId);
    QCOMPARE(answer.kind, kind);
    QCOMPARE(QByteArray::fromStdString(answer.name), name);
}

void TestNetbiosLookup::everyTruncationIsMalformed()
{
    const QByteArray whole = FullResponse();
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const NodeStatusAnswer answer = ParseNodeStatusResponse(Span(whole.first(length)), kId);
        QVERIFY2(answer.kind == NodeStatusKind::Malformed,
                 qPrintable(QString("cut to %1 bytes").arg(length)));
    }
}

void TestNetbiosLookup::exchange_data()
{
    QTest::addColumn<Script>("script");
    QTest::addColumn<NetbiosOutcome>("outcome");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("requests");

    const Reply full{FullResponse()};
    const Reply truncated{FullResponse().first(40)};
    const Reply wrongCount{Header(0, 0x8400, 0, 1) +
                           Record(StarName(), 0x0021, char(9) + Entry("MYPC", 0, 0))};
    const auto name = NetbiosOutcome::Name;
    const auto noAnswer = NetbiosOutcome::NoAnswer;

    QTest::newRow("workstation name among others")
        << Script{{full}} << name << QByteArray("MYPC") << 1;
    QTest::newRow("only group names") << Script{{Reply{GroupsOnlyResponse()}}}
                                      << NetbiosOutcome::NoWorkstationName << QByteArray() << 1;
    QTest::newRow("no answer") << Script{} << noAnswer << QByteArray() << 2;
    QTest::newRow("first try dropped, retry answered")
        << Script{{}, {full}} << name << QByteArray("MYPC") << 2;
    QTest::newRow("wrong id, then the right one")
        << Script{{Reply{GroupsOnlyResponse(), Reply::OtherId}, full}} << name << QByteArray("MYPC")
        << 1;
    QTest::newRow("wrong id only")
        << Script{{Reply{FullResponse(), Reply::OtherId}}, {Reply{FullResponse(), Reply::OtherId}}}
        << noAnswer << QByteArray() << 2;
    QTest::newRow("own request echoed, then the answer")
        << Script{{Reply{HandBuiltRequest(0)}, full}} << name << QByteArray("MYPC") << 1;
    QTest::newRow("truncated, then whole")
        << Script{{truncated, full}} << name << QByteArray("MYPC") << 1;
    QTest::newRow("truncated only")
        << Script{{truncated}, {truncated}} << noAnswer << QByteArray() << 2;
    QTest::newRow("wrong name count only")
        << Script{{wrongCount}, {wrongCount}} << noAnswer << QByteArray() << 2;
    QTest::newRow("garbage only") << Script{{Reply{QByteArray(300, '\xA7'), Reply::AsIs}},
                                            {Reply{QByteArray(1, '\0'), Reply::AsIs}}}
                                  << noAnswer << QByteArray() << 2;
    QTest::newRow("oversized datagram")
        << Script{{Reply{FullResponse() + QByteArray(65000, '\x5A')}}} << name << QByteArray("MYPC")
        << 1;
    QTest::newRow("answer from another port not heard")
        << Script{{Reply{FullResponse(), Reply::FromOtherPort}}} << noAnswer << QByteArray() << 2;
}

void TestNetbiosLookup::exchange()
{
    QFETCH(Script, script);
    QFETCH(NetbiosOutcome, outcome);
    QFETCH(QByteArray, name);
    QFETCH(int, requests);

    Responder responder(script);
    QVERIFY(responder.Port() != 0);
    const NetbiosResult result = NetbiosLookup({127, 0, 0, 1}, responder.Port(), kTestTimeout);
    const QList<QByteArray> received = responder.Stop();

    QCOMPARE(result.outcome, outcome);
    QCOMPARE(QByteArray::fromStdString(result.name), name);
    QCOMPARE(received.size(), requests);
    for (const QByteArray& request : received) {
        QCOMPARE(request.size(), 50);
        QCOMPARE(request.sliced(2), HandBuiltRequest(0).sliced(2));
        // A late answer to the first try must still match: the retry keeps the id.
        QCOMPARE(request.first(2), received.first().first(2));
    }
}

void TestNetbiosLookup::invalidAddressSendsNothing_data()
{
    // Each would reach the responder at 127.0.0.1 if cut down to a byte.
    QTest::addColumn<std::int32_t>("a");
    QTest::addColumn<std::int32_t>("b");
    QTest::addColumn<std::int32_t>("c");
    QTest::addColumn<std::int32_t>("d");
    QTest::newRow("256") << 127 << 0 << 256 << 1;
    QTest::newRow("257") << 127 << 0 << 0 << 257;
    QTest::newRow("383") << 383 << 0 << 0 << 1;
    QTest::newRow("negative") << -129 << 0 << 0 << 1;
}

void TestNetbiosLookup::invalidAddressSendsNothing()
{
    QFETCH(std::int32_t, a);
    QFETCH(std::int32_t, b);
    QFETCH(std::int32_t, c);
    QFETCH(std::int32_t, d);

    Responder responder({{Reply{FullResponse()}}, {Reply{FullResponse()}}});
    const NetbiosResult result = NetbiosLookup({a, b, c, d}, responder.Port(), kTestTimeout);
    QCOMPARE(result.outcome, NetbiosOutcome::InvalidAddress);
    QVERIFY(result.name.empty());
    QCOMPARE(responder.Stop().size(), 0);
}

void TestNetbiosLookup::nobodyListening()
{
    // A port that was free a moment ago; the host refuses the datagram.
    std::uint16_t port = 0;
    {
        Responder gone;
        port = gone.Port();
    }
    QVERIFY(port != 0);
    QElapsedTimer timer;
    timer.start();
    const NetbiosResult result = NetbiosLookup({127, 0, 0, 1}, port);
    QCOMPARE(result.outcome, NetbiosOutcome::NoAnswer);
    // Bounded; the default tries take about two seconds at most.
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
}

void TestNetbiosLookup::transactionIdsDiffer()
{
    Responder responder(
        {{Reply{FullResponse()}}, {Reply{FullResponse()}}, {Reply{FullResponse()}}});
    for (int i = 0; i < 3; ++i)
        QCOMPARE(NetbiosLookup({127, 0, 0, 1}, responder.Port(), kTestTimeout).outcome,
                 NetbiosOutcome::Name);
    const QList<QByteArray> received = responder.Stop();
    QCOMPARE(received.size(), 3);
    const QByteArray first = received[0].first(2);
    QVERIFY(received[1].first(2) != first || received[2].first(2) != first);
}

void TestNetbiosLookup::networkDownInFreshNamespace()
{
    // A new network namespace has only a loopback interface, which is down, and no route.
    // The child must not come back into the test.
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
            _exit(100);
        _exit(int(NetbiosLookup({192, 0, 2, 1}, kNetbiosNamePort, kTestTimeout).outcome));
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100)
        QSKIP("no network namespace here");
    QCOMPARE(NetbiosOutcome(WEXITSTATUS(status)), NetbiosOutcome::NetworkDown);
}

QTEST_GUILESS_MAIN(TestNetbiosLookup)
#include "tst_netbioslookup.moc"
