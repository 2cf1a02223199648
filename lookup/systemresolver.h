#pragma once

#include "nameresolver.h"

// The C library's resolver: /etc/hosts, DNS and whatever else nsswitch.conf names.
class SystemResolver : public NameResolver
{
public:
    bool Prepare() override;
    LookupResult ReverseLookup(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                               std::uint8_t d) override;
};

// What a getnameinfo() return code (and errno, for EAI_SYSTEM) means to the user.
LookupStatus StatusFromNameInfoError(int code, int systemError);

// True when an interface other than loopback is up and running.
bool NetworkInterfaceUp();
