#pragma once
// A thin view of a control or window: the HWND and the few operations the
// pages use on it. It does not own the window.

#include <windows.h>
#include <string>

namespace ui {

class Control {
public:
    Control() noexcept = default;
    explicit Control(HWND window) noexcept
        : window_(window) {}

    HWND hwnd() const noexcept { return window_; }
    void attach(HWND window) noexcept { window_ = window; }
    explicit operator bool() const noexcept { return window_ != nullptr; }

    std::wstring text() const;
    void setText(const std::wstring& text) const;
    void enable(bool enabled) const;
    void show(bool visible) const;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // The window's rectangle in its parent's client coordinates.
    RECT rectInParent() const;
    void setRect(const RECT& rect, bool repaint = false) const;
    // Widens the control by dx and heightens it by dy.
    void grow(int dx, int dy) const;
    // Moves the control by dx, dy without resizing it.
    void offset(int dx, int dy) const;

private:
    HWND window_ = nullptr;
};

} // namespace ui
