#include "nbstat.h"

#include <optional>

namespace
{

constexpr std::size_t kHeaderSize = 12;
constexpr std::uint16_t kTypeNodeStatus = 0x0021;
constexpr std::uint16_t kClassInternet = 0x0001;
constexpr std::uint16_t kResponseBit = 0x8000;
constexpr std::uint16_t kGroupBit = 0x8000;
constexpr std::size_t kNetbiosNameSize = 16;
constexpr std::size_t kNodeNameEntrySize = kNetbiosNameSize + 2;
constexpr std::size_t kMaxEncodedName = 255;

// Bounds-checked reading from the front of a datagram.
class Reader
{
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return pos_; }
    std::size_t Left() const { return bytes_.size() - pos_; }

    std::optional<std::uint8_t> Byte()
    {
        if (Left() < 1)
            return std::nullopt;
        return bytes_[pos_++];
    }
    std::optional<std::uint16_t> Word()
    {
        if (Left() < 2)
            return std::nullopt;
        const std::uint16_t value = std::uint16_t(bytes_[pos_] << 8 | bytes_[pos_ + 1]);
        pos_ += 2;
        return value;
    }
    std::optional<std::span<const std::uint8_t>> Take(std::size_t count)
    {
        if (Left() < count)
            return std::nullopt;
        const auto taken = bytes_.subspan(pos_, count);
        pos_ += count;
        return taken;
    }

    // Steps over an encoded domain name. A compression pointer ends the name; it is not
    // followed, as nothing here needs the name, but it must point back into the datagram.
    bool SkipName()
    {
        const std::size_t start = pos_;
        for (;;) {
            const std::size_t at = pos_;
            const auto length = Byte();
            if (!length)
                return false;
            if (*length == 0)
                return true;
            if ((*length & 0xC0) == 0xC0) {
                const auto low = Byte();
                return low && (std::size_t(*length & 0x3F) << 8 | *low) < at;
            }
            if (*length & 0xC0)
                return false; // reserved label kinds
            if (!Take(*length) || pos_ - start > kMaxEncodedName)
                return false;
        }
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

NodeStatusAnswer Malformed()
{
    return {NodeStatusKind::Malformed, {}};
}

// The first unique workstation name in a node name array.
NodeStatusAnswer PickWorkstationName(std::span<const std::uint8_t> names, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto entry = names.subspan(i * kNodeNameEntrySize, kNodeNameEntrySize);
        const std::uint8_t suffix = entry[kNetbiosNameSize - 1];
        const std::uint16_t flags =
            std::uint16_t(entry[kNetbiosNameSize] << 8 | entry[kNetbiosNameSize + 1]);
        if (suffix != 0x00 || (flags & kGroupBit))
            continue;
        std::size_t length = kNetbiosNameSize - 1;
        while (length > 0 && (entry[length - 1] == ' ' || entry[length - 1] == '\0'))
            --length;
        // A name of nothing but padding could not go into the file.
        if (length == 0)
            continue;
        return {NodeStatusKind::WorkstationName,
                std::string(entry.begin(), entry.begin() + length)};
    }
    return {NodeStatusKind::NoWorkstationName, {}};
}

} // namespace

std::array<std::uint8_t, kNodeStatusRequestSize> NodeStatusRequest(std::uint16_t transactionId)
{
    std::array<std::uint8_t, kNodeStatusRequestSize> request{};
    request[0] = std::uint8_t(transactionId >> 8);
    request[1] = std::uint8_t(transactionId);
    // flags stay 0; one question, no other records
    request[5] = 1;

    std::size_t at = kHeaderSize;
    request[at++] = 2 * kNetbiosNameSize;
    std::array<std::uint8_t, kNetbiosNameSize> name{};
    name[0] = '*';
    for (const std::uint8_t byte : name) {
        request[at++] = std::uint8_t('A' + (byte >> 4));
        request[at++] = std::uint8_t('A' + (byte & 0x0F));
    }
    request[at++] = 0; // no scope
    request[at++] = kTypeNodeStatus >> 8;
    request[at++] = kTypeNodeStatus & 0xFF;
    request[at++] = kClassInternet >> 8;
    request[at++] = kClassInternet & 0xFF;
    return request;
}

NodeStatusAnswer ParseNodeStatusResponse(std::span<const std::uint8_t> datagram,
                                         std::uint16_t transactionId)
{
    Reader in(datagram);
    const auto id = in.Word();
    const auto flags = in.Word();
    const auto questions = in.Word();
    const auto answers = in.Word();
    if (!in.Take(4)) // authority and additional counts; nothing to read there
        return Malformed();
    if (*id != transactionId || !(*flags & kResponseBit))
        return {NodeStatusKind::NotOurs, {}};
    if ((*flags >> 11 & 0x0F) != 0) // not a query answer
        return {NodeStatusKind::NotOurs, {}};
    if ((*flags & 0x0F) != 0) // the host refused: it has no name to give us
        return {NodeStatusKind::NoWorkstationName, {}};

    // Answers do not normally repeat the question, but a host that does is still heard.
    for (std::uint16_t i = 0; i < *questions; ++i) {
        if (!in.SkipName() || !in.Take(4))
            return Malformed();
    }
    if (*answers == 0)
        return Malformed();
    for (std::uint16_t i = 0; i < *answers; ++i) {
        if (!in.SkipName())
            return Malformed();
        const auto type = in.Word();
        const auto recordClass = in.Word();
        if (!type || !recordClass || !in.Take(4)) // the time to live does not matter here
            return Malformed();
        const auto length = in.Word();
        const auto data = length ? in.Take(*length) : std::nullopt;
        if (!data)
            return Malformed();
        if (*type != kTypeNodeStatus || *recordClass != kClassInternet)
            continue;

        if (data->empty())
            return Malformed();
        const std::size_t count = (*data)[0];
        if (data->size() - 1 < count * kNodeNameEntrySize)
            return Malformed();
        return PickWorkstationName(data->subspan(1), count);
    }
    return {NodeStatusKind::NotOurs, {}};
}
