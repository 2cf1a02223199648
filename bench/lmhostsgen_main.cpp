// Writes a generated LMHOSTS file of N entries to standard output.
#include "lmhostsgen.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int entries = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string bytes = GenerateLmhosts(entries);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() ? 0 : 1;
}
