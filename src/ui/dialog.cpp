#include "ui/dialog.h"

#include "ui/data_exchange.h"
#include "ui/win_app.h"

#include <commctrl.h>

namespace ui {

namespace {
// Templates may hold common controls beyond those the library start
// registers (the extended combo box): register them before the first dialog,
// with the common controls that the library start loaded (the framework
// loads no DLL itself).
void registerTemplateControls() {
    static const bool registered = [] {
        HMODULE library = ::GetModuleHandleW(L"comctl32.dll");
        const auto initialize =
            library == nullptr
                ? nullptr
                : reinterpret_cast<decltype(&::InitCommonControlsEx)>(
                      reinterpret_cast<void*>(::GetProcAddress(library, "InitCommonControlsEx")));
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
        return initialize != nullptr && initialize(&classes) != FALSE;
    }();
    (void)registered;
}
} // namespace

Dialog::~Dialog() {
    if (window_ != nullptr && !modal_) {
        ::DestroyWindow(window_);
    }
}

INT_PTR Dialog::DoModal(HWND parent) {
    modal_ = true;
    registerTemplateControls();
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                             DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent) {
    modal_ = false;
    registerTemplateControls();
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                                DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
    if (modal_) {
        ::EndDialog(window_, result);
    } else {
        ::DestroyWindow(window_);
    }
}

bool Dialog::UpdateData(bool save) {
    DataExchange exchange(*this, save);
    try {
        DoDataExchange(exchange);
    } catch (const ValidationFailed&) {
        return false;
    }
    return true;
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

std::optional<INT_PTR> Dialog::handleMessage(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

void Dialog::OnCommand(int id, WORD code, std::function<void()> handler) {
    commands_[{id, code}] = std::move(handler);
}

bool Dialog::dispatchCommand(int id, WORD code) {
    if (const auto bound = commands_.find({id, code}); bound != commands_.end()) {
        bound->second();
        return true;
    }
    if (code == BN_CLICKED && id == IDOK) {
        OnOK();
        return true;
    }
    if (code == BN_CLICKED && id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

INT_PTR Dialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog();
    }
    if (message == WM_COMMAND && dispatchCommand(LOWORD(wParam), HIWORD(wParam))) {
        return TRUE;
    }
    if (const std::optional<INT_PTR> handled = handleMessage(message, wParam, lParam)) {
        return *handled;
    }
    return FALSE;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->window_ = window;
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        return FALSE;
    }
    try {
        return self->dispatch(message, wParam, lParam);
    } catch (...) {
        reportHandlerException(std::current_exception());
        return TRUE;
    }
}

} // namespace ui
