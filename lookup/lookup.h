#pragma once

#include "nameresolver.h"

#include <array>
#include <cstdint>
#include <string>

// What the Lookup button found for an address: the name as it goes into the hostname
// field, or why there is none.
struct LookupOutcome {
    LookupStatus status = LookupStatus::OtherError;
    std::string hostname; // only with Found
    int messageId = 0;    // the text that tells the user why nothing was found; 0 with Found

    bool found() const { return status == LookupStatus::Found; }
};

// Text id of the message for a lookup that found no name.
int LookupMessageId(LookupStatus status);

// The host name as it goes into the hostname field: dots become dashes.
std::string HostnameFromLookup(std::string name);

// Asks the resolver for the name of the address a.b.c.d. Octets outside 0..255 name no
// address: then nobody is asked and the outcome is "host not found".
LookupOutcome LookUpName(const std::array<std::int32_t, 4>& octets, NameResolver& resolver);
