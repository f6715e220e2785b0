#pragma once
// The window that owns the library's message boxes and dialogs.

#include <windows.h>

namespace tw {

// The active window of this thread taken to its root owner, or else the root
// owner of the first window of this thread whose root owner has a caption;
// then that window's last active pop-up. Null when the thread has no window.
HWND findOwnerWindow();

} // namespace tw
