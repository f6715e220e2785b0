#include "ui/control.h"

namespace ui {

std::wstring Control::text() const {
    const int length = ::GetWindowTextLengthW(window_);
    std::wstring result(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(window_, result.data(), static_cast<int>(result.size()));
    result.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return result;
}

void Control::setText(const std::wstring& text) const {
    ::SetWindowTextW(window_, text.c_str());
}

void Control::enable(bool enabled) const {
    ::EnableWindow(window_, enabled ? TRUE : FALSE);
}

void Control::show(bool visible) const {
    ::ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

LRESULT Control::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(window_, message, wParam, lParam);
}

RECT Control::rectInParent() const {
    RECT rect{};
    ::GetWindowRect(window_, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Control::setRect(const RECT& rect, bool repaint) const {
    ::MoveWindow(window_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 repaint ? TRUE : FALSE);
}

void Control::grow(int dx, int dy) const {
    RECT rect = rectInParent();
    rect.right += dx;
    rect.bottom += dy;
    setRect(rect);
}

void Control::offset(int dx, int dy) const {
    RECT rect = rectInParent();
    ::OffsetRect(&rect, dx, dy);
    setRect(rect);
}

} // namespace ui
