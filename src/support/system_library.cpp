#include "support/system_library.h"

#include <string>

namespace tw {

void restrictDllSearch() noexcept {
    // Windows before 8 has it only with an update; there the current folder
    // at least leaves the search.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");
    }
}

HMODULE systemLibrary(const wchar_t* name) noexcept {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    try {
        const std::wstring path = std::wstring(folder, length) + L'\\' + name;
        // A full path with the altered search order: the DLL's own
        // dependencies are looked for in its folder first.
        return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    } catch (...) {
        return nullptr;
    }
}

} // namespace tw
