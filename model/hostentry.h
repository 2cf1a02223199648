#pragma once

#include <cstdint>
#include <string>

// One entry line of an LMHOSTS file. Texts are the file's bytes, unquoted.
// Octets are kept as read or typed, also outside 0..255.
struct HostEntry {
    std::string hostname;
    std::string domain;
    std::string comment;
    std::int32_t octet1 = 0;
    std::int32_t octet2 = 0;
    std::int32_t octet3 = 0;
    std::int32_t octet4 = 0;
    bool preload = false;

    friend bool operator==(const HostEntry&, const HostEntry&) = default;
};
