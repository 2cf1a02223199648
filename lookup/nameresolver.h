#pragma once

#include "netbioslookup.h"

#include <array>
#include <cstdint>
#include <string>

// How a reverse lookup ended. The editor turns each kind into its own message.
enum class LookupStatus {
    Found,
    HostNotFound,
    TryAgain,
    NetworkDown,
    OtherError,
};

struct LookupResult {
    LookupStatus status = LookupStatus::OtherError;
    std::string name; // the host's name as the name service gave it; only with Found
};

// The name service behind the Lookup button. Tests substitute their own.
class NameResolver
{
public:
    virtual ~NameResolver() = default;

    // Gets the service ready before the editor opens; false means it cannot be used.
    virtual bool Prepare() = 0;
    // Asks for the name of the IPv4 address a.b.c.d. Blocks until the service answers.
    virtual LookupResult ReverseLookup(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                       std::uint8_t d) = 0;
    // Asks the host at the address itself for its NetBIOS workstation name. Blocks
    // for about two seconds at most; may run on any thread.
    virtual NetbiosResult NodeStatus(const std::array<std::int32_t, 4>& octets)
    {
        return NetbiosLookup(octets);
    }
};
