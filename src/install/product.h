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

// What the main program registers when the installation starts it
// (" /Register"): the document extension and its ProgID below
// HKEY_CLASSES_ROOT, with the ProgID's icon and open command, and the value
// of the user's settings that remembers the version an update replaced.
constexpr wchar_t documentExtension[] = L".kvd";
constexpr wchar_t documentProgId[] = L"Kelvane.Document.3";
constexpr wchar_t documentIconKey[] = L"Kelvane.Document.3\\DefaultIcon";
constexpr wchar_t documentOpenKey[] = L"Kelvane.Document.3\\shell\\open\\command";
constexpr wchar_t settingsKey[] = L"Software\\Tarnwick\\Kelvane 3";
constexpr wchar_t updatedFromValue[] = L"Updated From";

} // namespace product
