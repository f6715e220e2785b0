#include "ui/win_app.h"

#include <string>

namespace ui {

namespace {
WinApp* theApp = nullptr;
} // namespace

WinApp::WinApp()
    : instance_(::GetModuleHandleW(nullptr)) {
    theApp = this;
}

WinApp::~WinApp() {
    if (theApp == this) {
        theApp = nullptr;
    }
}

bool WinApp::InitInstance() {
    return true;
}

int WinApp::Run() {
    InitInstance();
    return 0;
}

void WinApp::ProcessWndProcException(std::exception_ptr failure) noexcept {
    std::string what = "unexpected error";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& known) {
        what = known.what();
    } catch (...) {
    }
    try {
        const std::wstring text(what.begin(), what.end());
        ::MessageBoxW(mainWindow_, text.c_str(), appName_.empty() ? nullptr : appName_.c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

WinApp* currentApp() noexcept {
    return theApp;
}

void reportHandlerException(std::exception_ptr failure) noexcept {
    if (theApp != nullptr) {
        theApp->ProcessWndProcException(std::move(failure));
    }
}

} // namespace ui
