#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The NetBIOS node status exchange on bytes (RFC 1002, NODE STATUS REQUEST and
// RESPONSE). No sockets here: see netbioslookup.h for that.

inline constexpr std::size_t kNodeStatusRequestSize = 50;

// The question "which names do you have?" for the wildcard name "*", under the
// given transaction id; no recursion desired, not a broadcast.
std::array<std::uint8_t, kNodeStatusRequestSize> NodeStatusRequest(std::uint16_t transactionId);

enum class NodeStatusKind {
    WorkstationName,   // name holds the host's unique workstation name
    NotOurs,           // another transaction, not a response, or not a node status answer
    NoWorkstationName, // an answer for us, but only group names or other suffixes
    Malformed,         // cannot be read
};

struct NodeStatusAnswer {
    NodeStatusKind kind = NodeStatusKind::Malformed;
    // The name's bytes as the host sent them, trailing blanks and NULs dropped; only with
    // WorkstationName.
    std::string name;
};

// Reads a datagram that may answer the request sent under transactionId. Any bytes are
// safe to pass.
NodeStatusAnswer ParseNodeStatusResponse(std::span<const std::uint8_t> datagram,
                                         std::uint16_t transactionId);
