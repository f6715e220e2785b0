#include "ui/data_exchange.h"

#include "ui/dialog.h"
#include "ui/win_app.h"

namespace ui {

namespace {
bool isEdit(HWND control) {
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, 16);
    return ::lstrcmpiW(className, L"Edit") == 0;
}

bool isRadioButton(HWND control) {
    if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
        return true;
    }
    const LONG style = ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return style == BS_RADIOBUTTON || style == BS_AUTORADIOBUTTON;
}
} // namespace

HWND DataExchange::prepareControl(int id) {
    lastControl_ = ::GetDlgItem(dialog_.hwnd(), id);
    lastIsEdit_ = lastControl_ != nullptr && isEdit(lastControl_);
    return lastControl_;
}

void DataExchange::Fail() {
    if (lastControl_ != nullptr) {
        ::SetFocus(lastControl_);
        if (lastIsEdit_) {
            ::SendMessageW(lastControl_, EM_SETSEL, 0, -1);
        }
    }
    throw ValidationFailed{};
}

void DDX_Control(DataExchange& exchange, int id, Control& control) {
    if (!control) {
        control.attach(exchange.prepareControl(id));
    }
}

void DDX_Text(DataExchange& exchange, int id, std::wstring& value) {
    const Control control(exchange.prepareControl(id));
    if (exchange.saving()) {
        value = control.text();
    } else {
        control.setText(value);
    }
}

void DDV_MaxChars(DataExchange& exchange, const std::wstring& value, int maxChars) {
    if (!exchange.saving()) {
        if (exchange.lastControl() != nullptr) {
            ::SendMessageW(exchange.lastControl(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        }
        return;
    }
    if (value.size() > static_cast<std::size_t>(maxChars)) {
        const std::wstring text =
            L"Please enter no more than " + std::to_wstring(maxChars) + L" characters.";
        const WinApp* app = currentApp();
        ::MessageBoxW(exchange.dialog().hwnd(), text.c_str(),
                      app != nullptr ? app->appName().c_str() : nullptr,
                      MB_OK | MB_ICONEXCLAMATION);
        exchange.Fail();
    }
}

void DDX_Check(DataExchange& exchange, int id, int& value) {
    const Control control(exchange.prepareControl(id));
    if (exchange.saving()) {
        value = static_cast<int>(control.send(BM_GETCHECK));
    } else {
        control.send(BM_SETCHECK, static_cast<WPARAM>(value));
    }
}

void DDX_Radio(DataExchange& exchange, int id, int& value) {
    HWND button = exchange.prepareControl(id);
    if (exchange.saving()) {
        value = -1;
    }
    int index = 0;
    while (button != nullptr && isRadioButton(button)) {
        if (exchange.saving()) {
            if (::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                value = index;
            }
        } else {
            ::SendMessageW(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
        if (button != nullptr && (::GetWindowLongW(button, GWL_STYLE) & WS_GROUP)) {
            break;
        }
        ++index;
    }
}

} // namespace ui
