// Any bytes as a node status answer: the reader must not fault, and what it returns must
// hold together.

#include "nbstat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace
{

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> datagram(data, size);
    // The datagram's own id, so that the reader gets past the id check.
    const std::uint16_t id = size >= 2 ? std::uint16_t(data[0] << 8 | data[1]) : 0;
    const NodeStatusAnswer answer = ParseNodeStatusResponse(datagram, id);

    if (answer.kind == NodeStatusKind::WorkstationName) {
        const std::string& name = answer.name;
        Check(!name.empty() && name.size() <= 15, "name of 1 to 15 bytes");
        Check(name.back() != ' ' && name.back() != '\0', "padding dropped");
        const std::string_view bytes(reinterpret_cast<const char*>(data), size);
        Check(bytes.find(name) != std::string_view::npos, "name bytes come from the datagram");
    } else {
        Check(answer.name.empty(), "no name without a workstation name");
    }

    const NodeStatusAnswer other = ParseNodeStatusResponse(datagram, std::uint16_t(id ^ 0x0001));
    Check(other.kind == (size < 12 ? NodeStatusKind::Malformed : NodeStatusKind::NotOurs),
          "another transaction's answer is not ours");

    // Bytes after a readable answer change nothing.
    if (answer.kind != NodeStatusKind::Malformed) {
        std::vector<std::uint8_t> longer(data, data + size);
        longer.insert(longer.end(), 64, 0xC0);
        const NodeStatusAnswer again = ParseNodeStatusResponse(longer, id);
        Check(again.kind == answer.kind && again.name == answer.name, "trailing bytes ignored");
    }
    return 0;
}
