#pragma once
// Shell folders by CSIDL, as the destination tokens use them.

#include <string>

namespace payload {

// The current path of the shell folder, asked with the library's owner window
// (tw::shellFolderPath, no fallback); empty when the shell names none.
std::wstring shellFolderPath(int csidl);

} // namespace payload
