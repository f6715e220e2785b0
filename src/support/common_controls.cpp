#include "support/common_controls.h"

#include "support/unique_resource.h"

#include <shlwapi.h>
#include <string>

namespace tw {

namespace {
constexpr std::uint32_t version6 = 0x60000;

bool loadedFromCommonControls6Assembly() {
    HMODULE module = ::GetModuleHandleW(L"Comctl32.dll");
    wchar_t path[MAX_PATH] = {};
    if (module == nullptr || ::GetModuleFileNameW(module, path, MAX_PATH) == 0) {
        return false;
    }
    ::CharLowerW(path);
    return std::wstring(path).find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.") !=
           std::wstring::npos;
}
} // namespace

std::uint32_t commonControlsVersion() {
    unique_hmodule loadedHere;
    HMODULE module = ::GetModuleHandleW(L"Comctl32.dll");
    if (module == nullptr) {
        loadedHere.reset(
            ::LoadLibraryExW(L"Comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
        if (!loadedHere) {
            loadedHere.reset(::LoadLibraryW(L"Comctl32.dll"));
        }
        module = loadedHere.get();
    }
    if (module == nullptr) {
        return 0;
    }
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetVersion")));
    if (getVersion == nullptr) {
        return 0;
    }
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    static_assert(sizeof(DLLVERSIONINFO) == 20);
    if (FAILED(getVersion(&info))) {
        return 0;
    }
    return (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
}

bool hasCommonControls6() {
    if (commonControlsVersion() >= version6) {
        return true;
    }
    return runningUnderWine() && loadedFromCommonControls6Assembly();
}

bool runningUnderWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace tw
