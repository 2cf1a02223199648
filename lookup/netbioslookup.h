#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

// How a NetBIOS name lookup ended. The editor turns each kind into its own message.
enum class NetbiosOutcome {
    Name,
    NoAnswer,
    NoWorkstationName,
    NetworkDown,
    InvalidAddress,
};

struct NetbiosResult {
    NetbiosOutcome outcome = NetbiosOutcome::NoAnswer;
    std::string name; // the workstation name's bytes as the host sent them; only with Name
};

inline constexpr std::uint16_t kNetbiosNamePort = 137;

// Asks the host at the IPv4 address octets[0].octets[1].octets[2].octets[3] for its
// workstation name with a node status request over UDP, and asks once more when the
// first try goes unanswered. Blocks for at most about two timeoutPerTry; holds no shared
// state, so it can run on any thread. Octets outside 0..255 send nothing.
NetbiosResult NetbiosLookup(const std::array<std::int32_t, 4>& octets,
                            std::uint16_t port = kNetbiosNamePort,
                            std::chrono::milliseconds timeoutPerTry = std::chrono::seconds(1));
