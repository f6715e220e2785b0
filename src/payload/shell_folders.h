#pragma once
// Shell folders by CSIDL, as the destination tokens use them.

#include <string>

namespace payload {

// The current path of the shell folder (SHGetFolderPathW with the library's
// owner window, no token, SHGFP_TYPE_CURRENT, a 260-character buffer); empty
// when the shell names none.
std::wstring shellFolderPath(int csidl);

} // namespace payload
