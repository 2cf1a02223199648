// Writes a generated LMHOSTS file to standard output:
//   lmhosts_gen N                       N entries;
//   lmhosts_gen --long-comment BYTES    one entry whose comment is BYTES long;
//   lmhosts_gen --long-name BYTES       one entry whose hostname is BYTES long.
#include "lmhostsgen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    std::string bytes;
    if (argc > 2 &&
        (std::strcmp(argv[1], "--long-comment") == 0 || std::strcmp(argv[1], "--long-name") == 0))
        bytes = GenerateLongLine(std::strtoull(argv[2], nullptr, 10),
                                 std::strcmp(argv[1], "--long-name") == 0);
    else
        bytes = GenerateLmhosts(argc > 1 ? std::atoi(argv[1]) : 1000);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() ? 0 : 1;
}
