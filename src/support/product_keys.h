#pragma once
// The product path value under the maker's registry key,
// HKEY_LOCAL_MACHINE\Software\Tarnwick, named after the product key name
// ("Kelvane 3 Path"): where the product's main program is installed.

#include <string>

namespace tw {

// The maker's key below HKEY_LOCAL_MACHINE: "Software\" + the maker's name.
std::wstring makerKeyPath();

// The value name: the current product key name + " Path".
std::wstring productPathValueName();

// Records the full path of the installed main program as REG_SZ with its
// terminating NUL, creating the maker's key when it is missing. Raises
// std::system_error on a registry error.
void WriteProductPath(const std::wstring& programPath);

// The registered main program path as the registry holds it now: empty when
// the key or the value is missing, the value is not a string, or it names no
// existing file (a folder counts as none). A REG_EXPAND_SZ value is taken
// unexpanded.
// Raises std::system_error on an unexpected registry error.
std::wstring readProductPathNow();

// readProductPathNow as it was on the first call of the process: later calls
// see that same value even after WriteProductPath.
const std::wstring& ReadProductPath();

} // namespace tw
