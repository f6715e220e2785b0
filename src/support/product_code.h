#pragma once
// The product code of the maker's library, the product key name it maps to and
// the maker's own name.

#include <cstdint>
#include <string>

namespace tw {

// The maker's name as the library uses it in every product: the folder below
// HKEY_LOCAL_MACHINE\Software that holds the product path values, and the
// maker's folder in the default installation, shortcut and data folders.
inline constexpr wchar_t makerName[] = L"Tarnwick";

// The process-wide product code: high byte the product family, low byte the
// major version. Set once by the application object.
std::uint16_t ProductCode();
void setProductCode(std::uint16_t code);

// The product's name with its major version ("Kelvane 3" for 0x103), which
// names the uninstall key, the maker's registry value and the default folders.
// Raises std::logic_error("logic error") for a code without a name.
std::wstring productKeyName(std::uint16_t code);

// productKeyName of the current ProductCode.
std::wstring productKeyName();

} // namespace tw
