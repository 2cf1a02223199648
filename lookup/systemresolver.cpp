#include "systemresolver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>
#include <sys/socket.h>

bool SystemResolver::Prepare()
{
    return res_init() == 0;
}

LookupResult SystemResolver::ReverseLookup(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                           std::uint8_t d)
{
    // Loopback names come from the local hosts file, network or not.
    if (a != 127 && !NetworkInterfaceUp())
        return {LookupStatus::NetworkDown, {}};

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl((std::uint32_t{a} << 24) | (std::uint32_t{b} << 16) |
                                    (std::uint32_t{c} << 8) | std::uint32_t{d});

    char host[NI_MAXHOST] = {};
    errno = 0;
    const int code = getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host,
                                 sizeof host, nullptr, 0, NI_NAMEREQD);
    if (code != 0)
        return {StatusFromNameInfoError(code, errno), {}};
    return {LookupStatus::Found, host};
}

LookupStatus StatusFromNameInfoError(int code, int systemError)
{
    switch (code) {
    case EAI_NONAME:
        return LookupStatus::HostNotFound;
    case EAI_AGAIN:
        return LookupStatus::TryAgain;
    case EAI_SYSTEM:
        if (systemError == ENETDOWN || systemError == ENETUNREACH)
            return LookupStatus::NetworkDown;
        return LookupStatus::OtherError;
    default:
        return LookupStatus::OtherError;
    }
}

bool NetworkInterfaceUp()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return true; // can't tell: let the lookup itself report what it finds
    bool up = false;
    for (const ifaddrs* it = list; it != nullptr && !up; it = it->ifa_next) {
        const unsigned flags = it->ifa_flags;
        up = (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    return up;
}
