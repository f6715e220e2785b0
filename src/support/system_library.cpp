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
        // The DLL's own dependencies come from the system folder too; the
        // altered search order would add the current folder to their search.
        return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    } catch (...) {
        return nullptr;
    }
}

} // namespace tw
