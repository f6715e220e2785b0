#pragma once
// The identity of the product this setup program installs, fixed in the program.

#include <cstdint>

namespace product {

constexpr std::uint16_t code = 0x103;
constexpr wchar_t name[] = L"Kelvane";
constexpr wchar_t versionText[] = L"3.00g";
constexpr wchar_t maker[] = L"Tarnwick";
// 3.0.7.1: the high 32 bits are major and minor, the low 32 bits build and revision.
constexpr std::uint64_t ownVersion = 0x0003000000070001ull;
constexpr int iconResource = 128;

} // namespace product
