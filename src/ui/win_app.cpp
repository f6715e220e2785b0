#include "ui/win_app.h"

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

void WinApp::ProcessWndProcException(const std::exception& failure) noexcept {
    const char* what = failure.what();
    std::wstring text(what, what + std::char_traits<char>::length(what));
    ::MessageBoxW(mainWindow_, text.c_str(), appName_.empty() ? nullptr : appName_.c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

WinApp* currentApp() noexcept {
    return theApp;
}

void reportHandlerException(const std::exception& failure) noexcept {
    if (theApp != nullptr) {
        theApp->ProcessWndProcException(failure);
    }
}

} // namespace ui
