#include "support/common_controls.h"

#include <shlwapi.h>
#include <string>

namespace tw {

namespace {
constexpr std::uint32_t version6 = 0x60000;

bool loadedFromCommonControls6Assembly() {
    HMODULE module = commonControls();
    wchar_t path[MAX_PATH] = {};
    if (module == nullptr || ::GetModuleFileNameW(module, path, MAX_PATH) == 0) {
        return false;
    }
    ::CharLowerW(path);
    return std::wstring(path).find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.") !=
           std::wstring::npos;
}
} // namespace

HMODULE commonControls() noexcept {
    static const HMODULE module =
        ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module;
}

bool initCommonControls(DWORD classes) noexcept {
    const auto initialize =
        commonControlsFunction<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx");
    INITCOMMONCONTROLSEX request{sizeof(INITCOMMONCONTROLSEX), classes};
    return initialize != nullptr && initialize(&request) != FALSE;
}

HIMAGELIST createImageList(int width, int height, UINT flags, int initial, int grow) noexcept {
    const auto create = commonControlsFunction<decltype(&::ImageList_Create)>("ImageList_Create");
    return create != nullptr ? create(width, height, flags, initial, grow) : nullptr;
}

int addImageListIcon(HIMAGELIST list, HICON icon) noexcept {
    // ImageList_AddIcon is a macro: a replacement of no image.
    const auto replace =
        commonControlsFunction<decltype(&::ImageList_ReplaceIcon)>("ImageList_ReplaceIcon");
    return replace != nullptr ? replace(list, -1, icon) : -1;
}

void destroyImageList(HIMAGELIST list) noexcept {
    if (const auto destroy =
            commonControlsFunction<decltype(&::ImageList_Destroy)>("ImageList_Destroy")) {
        destroy(list);
    }
}

std::uint32_t commonControlsVersion() {
    const auto getVersion = commonControlsFunction<DLLGETVERSIONPROC>("DllGetVersion");
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
