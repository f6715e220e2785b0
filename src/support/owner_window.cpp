#include "support/owner_window.h"

namespace tw {

namespace {
BOOL CALLBACK firstCaptionedRoot(HWND window, LPARAM found) {
    HWND root = ::GetAncestor(window, GA_ROOTOWNER);
    if (root != nullptr && (::GetWindowLongW(root, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
        *reinterpret_cast<HWND*>(found) = root;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND findOwnerWindow() {
    HWND root = nullptr;
    if (HWND active = ::GetActiveWindow(); active != nullptr) {
        root = ::GetAncestor(active, GA_ROOTOWNER);
    } else {
        ::EnumThreadWindows(::GetCurrentThreadId(), firstCaptionedRoot,
                            reinterpret_cast<LPARAM>(&root));
    }
    return root != nullptr ? ::GetLastActivePopup(root) : nullptr;
}

} // namespace tw
