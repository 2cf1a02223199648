#include "lookup.h"

#include "stringtable.h"
#include "waitcursor.h"

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

void RunLookup(EditorDialogOps& dialog, HostEntry& fields, NameResolver& resolver,
               const std::function<void(const QString&)>& showMessage)
{
    // A failed check has already told the user; the lookup goes on with the buffer as it is.
    dialog.TransferFromControls();

    OverrideCursor wait(Qt::WaitCursor);

    LookupResult result{LookupStatus::HostNotFound, {}};
    // Octets outside 0..255 name no address, so nobody is asked.
    if (IsOctet(fields.octet1) && IsOctet(fields.octet2) && IsOctet(fields.octet3) &&
        IsOctet(fields.octet4)) {
        result = resolver.ReverseLookup(
            static_cast<std::uint8_t>(fields.octet1), static_cast<std::uint8_t>(fields.octet2),
            static_cast<std::uint8_t>(fields.octet3), static_cast<std::uint8_t>(fields.octet4));
    }

    if (result.status == LookupStatus::Found) {
        fields.hostname = HostnameFromLookup(std::move(result.name));
    } else {
        // The box waits for the user: a busy cursor over it would look like a hang.
        OverrideCursor arrow(Qt::ArrowCursor);
        showMessage(LoadString(LookupMessageId(result.status)));
    }

    dialog.TransferToControls();
}
