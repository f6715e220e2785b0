#pragma once
// Error texts and message boxes of the library.

#include <windows.h>
#include <cstdint>
#include <string>

namespace tw {

// The text of an error code (HRESULT or Windows error number), without its
// trailing line breaks. Never fails: falls back to the text of E_FAIL, then
// to "Error".
std::wstring errorText(std::int32_t code);

// Whether a message box of that owner reads right to left: the owner's
// layout is right to left, or, without an owner, the user's default language
// is written right to left.
bool readsRightToLeft(HWND owner);

// Shows a message box owned by the thread's owner window, with the
// application name as caption unless one is given; completes the style with
// the default icon and the reading order. Returns the button pressed (IDOK
// when the message was silent).
int showMessage(const std::wstring& text, std::uint32_t messageStyle,
                const std::wstring& caption = {});

// showMessage of the code's errorText with the exclamation icon and OK.
void showError(std::int32_t code);

} // namespace tw
