#include "lookup.h"

#include "stringtable.h"

#include <algorithm>

namespace
{

bool IsOctet(std::int32_t value)
{
    return value >= 0 && value <= 255;
}

} // namespace

int LookupMessageId(LookupStatus status)
{
    switch (status) {
    case LookupStatus::NetworkDown:
        return StrLookupNetworkDown;
    case LookupStatus::HostNotFound:
        return StrLookupHostNotFound;
    case LookupStatus::TryAgain:
        return StrLookupServerFailure;
    case LookupStatus::Found:
    case LookupStatus::OtherError:
        break;
    }
    return StrLookupFailed;
}

std::string HostnameFromLookup(std::string name)
{
    std::replace(name.begin(), name.end(), '.', '-');
    return name;
}

LookupOutcome LookUpName(const std::array<std::int32_t, 4>& octets, NameResolver& resolver)
{
    LookupResult result{LookupStatus::HostNotFound, {}};
    if (std::all_of(octets.begin(), octets.end(), IsOctet)) {
        result = resolver.ReverseLookup(
            static_cast<std::uint8_t>(octets[0]), static_cast<std::uint8_t>(octets[1]),
            static_cast<std::uint8_t>(octets[2]), static_cast<std::uint8_t>(octets[3]));
    }
    if (result.status == LookupStatus::Found)
        return {LookupStatus::Found, HostnameFromLookup(std::move(result.name)), 0, {}};
    return {result.status, {}, LookupMessageId(result.status), {}};
}

LookupOutcome LookUpNetbiosName(const std::array<std::int32_t, 4>& octets, NameResolver& resolver)
{
    if (!std::all_of(octets.begin(), octets.end(), IsOctet))
        return {LookupStatus::HostNotFound, {}, StrLookupHostNotFound, {}};
    const std::string address = std::to_string(octets[0]) + '.' + std::to_string(octets[1]) + '.' +
                                std::to_string(octets[2]) + '.' + std::to_string(octets[3]);
    NetbiosResult result = resolver.NodeStatus(octets);
    switch (result.outcome) {
    case NetbiosOutcome::Name:
        return {LookupStatus::Found, std::move(result.name), 0, {}};
    case NetbiosOutcome::NoWorkstationName:
        return {LookupStatus::HostNotFound, {}, StrNetbiosNoName, address};
    case NetbiosOutcome::NetworkDown:
        return {LookupStatus::NetworkDown, {}, StrNetbiosNetworkDown, {}};
    case NetbiosOutcome::InvalidAddress:
        return {LookupStatus::HostNotFound, {}, StrLookupHostNotFound, {}};
    case NetbiosOutcome::NoAnswer:
        break;
    }
    return {LookupStatus::HostNotFound, {}, StrNetbiosNoAnswer, address};
}
