// Prints the outcome of a reverse lookup of each dotted address given, one per line:
// "<address> <status> <name>".
#include "systemresolver.h"

#include <cstdio>

namespace
{

const char* StatusName(LookupStatus status)
{
    switch (status) {
    case LookupStatus::Found:
        return "Found";
    case LookupStatus::HostNotFound:
        return "HostNotFound";
    case LookupStatus::TryAgain:
        return "TryAgain";
    case LookupStatus::NetworkDown:
        return "NetworkDown";
    case LookupStatus::OtherError:
        break;
    }
    return "OtherError";
}

} // namespace

int main(int argc, char** argv)
{
    SystemResolver resolver;
    if (!resolver.Prepare()) {
        std::fputs("resolver could not be prepared\n", stderr);
        return 3;
    }
    for (int i = 1; i < argc; ++i) {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (std::sscanf(argv[i], "%u.%u.%u.%u", &a, &b, &c, &d) != 4 || a > 255 || b > 255 ||
            c > 255 || d > 255) {
            std::fprintf(stderr, "not an address: %s\n", argv[i]);
            return 4;
        }
        const LookupResult result = resolver.ReverseLookup(a, b, c, d);
        std::printf("%s %s %s\n", argv[i], StatusName(result.status), result.name.c_str());
    }
    return 0;
}
