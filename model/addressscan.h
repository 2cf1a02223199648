#pragma once

#include <cstdint>
#include <string_view>

// Reads the address at the start of an entry line as Windows' own reader does:
// sscanf(line, "%3i$%3i$%3i$%3i") after the dots among the first 15 characters
// became "$". Octets the scan does not reach are left as they are.
void ScanAddress(std::string_view line, std::int32_t (&octets)[4]);
