#include "common/main_window.h"

namespace kelvane {

HWND createMainWindow(HINSTANCE instance, const MainWindowStyle& style, const wchar_t* title,
                      int width, int height) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    info.lpfnWndProc = style.procedure;
    info.hInstance = instance;
    info.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(style.iconId));
    info.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    info.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(style.background + 1));
    info.lpszClassName = style.className;
    ::RegisterClassExW(&info);
    return ::CreateWindowExW(0, style.className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, width, height, nullptr, nullptr, instance, nullptr);
}

LRESULT mainWindowDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int runMainWindow(HWND window, int show) {
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

} // namespace kelvane
