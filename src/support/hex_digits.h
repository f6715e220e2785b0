#pragma once
// Numbers as lower-case hexadecimal text, as command lines, logs and version
// resources write them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tw {

// The lower-case hexadecimal digits of a number, with leading zeros up to
// width digits: lowerHex(0x1f, 4) is "001f", lowerHex(0x12345, 4) "12345".
std::wstring lowerHex(std::uint64_t number, std::size_t width = 1);

} // namespace tw
