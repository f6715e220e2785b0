#pragma once
// The paths of shell folders by CSIDL, as the setup program, its pages and the
// destination tokens ask for them.

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

// The current path of the shell folder csidl, asked with the library's owner
// window (findOwnerWindow), no fallback; empty when the shell names none. The
// destination tokens resolve against it.
std::wstring shellFolderPathWithOwner(int csidl);

} // namespace tw
