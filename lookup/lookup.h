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
    std::string address;  // for the message's "%1", where it has one

    bool found() const { return status == LookupStatus::Found; }
};

// Text id of the message for a lookup that found no name.
int LookupMessageId(LookupStatus status);

// The host name as it goes into the hostname field: dots become dashes.
std::string HostnameFromLookup(std::string name);

// Asks the resolver for the name of the address a.b.c.d. Octets outside 0..255 name no
// address: then nobody is asked and the outcome is "host not found".
LookupOutcome LookUpName(const std::array<std::int32_t, 4>& octets, NameResolver& resolver);

// Asks the host at the address itself for its NetBIOS workstation name (a node
// status query), which is what Windows calls the machine; the name goes into the
// hostname field as the host sent it, blanks trimmed. Octets outside 0..255
// name no address: then nothing is sent and the outcome is "host not found".
LookupOutcome LookUpNetbiosName(const std::array<std::int32_t, 4>& octets, NameResolver& resolver);
