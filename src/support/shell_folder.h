#pragma once
// Shell folders by CSIDL, as the setup program and its pages ask for them.

#include <windows.h>

#include <optional>
#include <string>

namespace tw {

// The current path of the shell folder csidl (SHGetFolderPathW with the owner
// window given, no token, SHGFP_TYPE_CURRENT, a MAX_PATH buffer; the folder is
// never created). When the shell names no path for it (the call fails or
// gives an empty path) and a fallback CSIDL is given, the fallback's path.
// Empty when neither has one.
std::wstring shellFolderPath(HWND owner, int csidl, std::optional<int> fallbackCsidl = {});

} // namespace tw
