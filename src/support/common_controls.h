#pragma once
// The common-controls library, loaded at run time: a static import would be
// loaded before the program's first instruction, with its own imports looked
// up beside the program. Loaded after restrictDllSearch, it and its imports
// come from the system folder, or from the side-by-side assembly (version 6)
// that the program's manifest names.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace tw {

// comctl32 of the process, loaded by its name once (so that the manifest's
// assembly is chosen) with the search restricted to the system folder, and
// kept for the life of the process; null when it cannot be loaded.
HMODULE commonControls() noexcept;

// A function of comctl32; null when the library or the function is missing.
template <typename Function>
Function commonControlsFunction(const char* name) noexcept {
    HMODULE module = commonControls();
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function>(
                                   reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// InitCommonControlsEx of comctl32; false when it fails or is missing.
bool initCommonControls(DWORD classes) noexcept;

// ImageList_Create, ImageList_AddIcon and ImageList_Destroy of comctl32: null,
// -1 and nothing when it is missing.
HIMAGELIST createImageList(int width, int height, UINT flags, int initial, int grow) noexcept;
int addImageListIcon(HIMAGELIST list, HICON icon) noexcept;
void destroyImageList(HIMAGELIST list) noexcept;

// (major << 16) | minor of Comctl32.dll as its DllGetVersion reports it; 0 when
// the module, the function or the call fails.
std::uint32_t commonControlsVersion();

// Whether the process has common controls 6.0 or later. Wine's comctl32
// reports 5.81 from DllGetVersion even as the side-by-side version-6 assembly
// that it implements; under Wine, that assembly being the loaded module counts.
bool hasCommonControls6();

// True when the process runs under Wine rather than on Windows.
bool runningUnderWine();

} // namespace tw
