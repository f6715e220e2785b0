// A careful program to compare the installer's DLL lookups with: it imports
// only system DLLs, restricts its DLL search first, loads the common controls
// of the side-by-side assembly that its manifest names as the installer does,
// shows a window with a control for a moment and ends. What the system looks up beside it is what
// the platform itself looks up there (Wine's user32 imports version.dll, for
// one).
#include "support/common_controls.h"
#include "support/system_library.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    tw::restrictDllSearch();
    tw::initCommonControls(ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS);
    // The installer's other system DLLs: Wine takes none of them for known.
    wchar_t folder[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    ::PathAddBackslashW(folder);
    HWND window = ::CreateWindowExW(0, L"STATIC", L"Reference", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr, nullptr,
                                    instance, nullptr);
    ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, window, nullptr,
                      instance, nullptr);
    ::SetTimer(nullptr, 0, 500, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
        ::DispatchMessageW(&message);
    }
    ::DestroyWindow(window);
    return 0;
}
