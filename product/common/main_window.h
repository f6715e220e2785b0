#pragma once
// The main window of the product's programs: its class, its creation, its
// message loop, and what its window procedure does by default. Each program
// brings its window procedure, which hands on what it does not handle to
// mainWindowDefault.

#include <windows.h>

namespace kelvane {

// What sets one program's main window apart.
struct MainWindowStyle {
    const wchar_t* className;
    WNDPROC procedure;
    int iconId;     // an icon resource of the program
    int background; // a system colour index, such as COLOR_WINDOW
};

// Registers the window class (the program's icon, the arrow cursor, the
// system colour as background) and creates an overlapped top-level window of
// it at the default position, hidden. Null when it cannot be created;
// GetLastError says why.
HWND createMainWindow(HINSTANCE instance, const MainWindowStyle& style, const wchar_t* title,
                      int width, int height);

// The default handling of a main window's message: the program ends when the
// window is destroyed; everything else goes to DefWindowProcW.
LRESULT mainWindowDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the window as the program was started to show it and runs the message
// loop until the quit message. 0.
int runMainWindow(HWND window, int show);

} // namespace kelvane
