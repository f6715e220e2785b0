#pragma once
// Reading resources of a module.

#include <windows.h>
#include <string>

namespace tw {

// The string resource of that identifier in the module, exactly as stored
// (possibly empty); empty when the module has no such string.
std::wstring loadString(HMODULE module, UINT id);

} // namespace tw
