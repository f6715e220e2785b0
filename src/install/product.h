#pragma once
// The identity of the product this setup program installs, fixed in the program.

#include "install/maker_contact.h"
#include "support/product_code.h"

#include <cstdint>

namespace product {

constexpr std::uint16_t code = 0x103;
constexpr wchar_t name[] = L"Kelvane";
constexpr wchar_t versionText[] = L"3.00g";
// The maker's name belongs to the maker's library, which names its registry
// key and folders after it; the product uses the same text.
inline constexpr const auto& maker = tw::makerName;
// 3.0.7.1: the high 32 bits are major and minor, the low 32 bits build and revision.
constexpr std::uint64_t ownVersion = 0x0003000000070001ull;
constexpr int iconResource = 128;

// The maker's contact data shown in the system's list of installed programs
// (web address for the product page, help and updates; telephone for help).
constexpr wchar_t webAddress[] = L"" MAKER_WEB_ADDRESS;
constexpr wchar_t telephone[] = L"" MAKER_TELEPHONE;

} // namespace product
