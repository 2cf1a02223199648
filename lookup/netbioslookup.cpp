#include "netbioslookup.h"

#include "nbstat.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int kTries = 2;
// Room for any UDP datagram, so that a long answer is never cut short.
constexpr std::size_t kReceiveBufferSize = 65536;

class Socket
{
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int Fd() const { return fd_; }

private:
    int fd_;
};

// Hard to guess, so that a stray or forged datagram is unlikely to pass for the answer.
std::uint16_t NewTransactionId()
{
    std::uint16_t id = 0;
    if (getrandom(&id, sizeof id, GRND_NONBLOCK) == sizeof id)
        return id;
    return std::uint16_t(std::chrono::steady_clock::now().time_since_epoch().count() * 40503u);
}

NetbiosResult WithOutcome(NetbiosOutcome outcome)
{
    return {outcome, {}};
}

// What a failed connect, send or receive means to the user.
NetbiosOutcome OutcomeOfError(int error)
{
    if (error == ENETUNREACH || error == ENETDOWN)
        return NetbiosOutcome::NetworkDown;
    // Refused: nothing listens on the name port there. Anything else the user cannot act
    // on beyond "no answer" either.
    return NetbiosOutcome::NoAnswer;
}

} // namespace

NetbiosResult NetbiosLookup(const std::array<std::int32_t, 4>& octets, std::uint16_t port,
                            std::chrono::milliseconds timeoutPerTry)
{
    std::uint32_t address = 0;
    for (const std::int32_t octet : octets) {
        if (octet < 0 || octet > 255)
            return WithOutcome(NetbiosOutcome::InvalidAddress);
        address = address << 8 | std::uint32_t(octet);
    }

    const Socket socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (socket.Fd() < 0)
        return WithOutcome(NetbiosOutcome::NoAnswer);
    // Connected, the socket only takes datagrams from that host and port, and hears of
    // ICMP errors for them.
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(address);
    if (::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0)
        return WithOutcome(OutcomeOfError(errno));

    // The retry keeps the id, so a late answer to the first try still counts.
    const std::uint16_t id = NewTransactionId();
    const auto request = NodeStatusRequest(id);
    std::vector<std::uint8_t> buffer(kReceiveBufferSize);
    using Clock = std::chrono::steady_clock;

    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (::send(socket.Fd(), request.data(), request.size(), 0) < 0)
            return WithOutcome(OutcomeOfError(errno));
        const Clock::time_point deadline = Clock::now() + timeoutPerTry;
        for (;;) {
            const Clock::duration left = deadline - Clock::now();
            if (left <= Clock::duration::zero())
                break;
            pollfd wait{socket.Fd(), POLLIN, 0};
            const auto waitMs = std::chrono::ceil<std::chrono::milliseconds>(left).count();
            const int ready = ::poll(&wait, 1, int(std::min<decltype(waitMs)>(waitMs, 60000)));
            if (ready < 0 && errno != EINTR)
                return WithOutcome(NetbiosOutcome::NoAnswer);
            if (ready <= 0)
                continue;
            const ssize_t got = ::recv(socket.Fd(), buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                    continue;
                return WithOutcome(OutcomeOfError(errno));
            }
            NodeStatusAnswer answer =
                ParseNodeStatusResponse(std::span(buffer.data(), std::size_t(got)), id);
            if (answer.kind == NodeStatusKind::WorkstationName)
                return {NetbiosOutcome::Name, std::move(answer.name)};
            if (answer.kind == NodeStatusKind::NoWorkstationName)
                return WithOutcome(NetbiosOutcome::NoWorkstationName);
            // Someone else's datagram or one that cannot be read: the answer may still come.
        }
    }
    return WithOutcome(NetbiosOutcome::NoAnswer);
}
