#pragma once
// DLLs from the system folder only. The programs import statically only DLLs
// that Windows always takes from the system folder; any other DLL is loaded
// at run time from there, never from the program's folder (a downloads
// folder, where someone may have planted a DLL of the same name).

#include <windows.h>

namespace tw {

// Restricts the DLL search of this process to the system folder. The first
// action of each program, before anything can load a DLL.
void restrictDllSearch() noexcept;

// The DLL of that name in the system folder, loaded with its dependencies
// from there and kept for the life of the process; null when it cannot be.
HMODULE systemLibrary(const wchar_t* name) noexcept;

// A function of a DLL of the system folder; null when either is missing.
template <typename Function>
Function systemFunction(const wchar_t* library, const char* name) noexcept {
    HMODULE module = systemLibrary(library);
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function>(
                                   reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace tw
