#pragma once
// The application object of the dialog framework: one per process, started by
// the program's entry point, with a name that message boxes use as caption.

#include <windows.h>
#include <exception>
#include <string>

namespace ui {

class WinApp {
public:
    WinApp();
    virtual ~WinApp();
    WinApp(const WinApp&) = delete;
    WinApp& operator=(const WinApp&) = delete;

    // The application's start-up; the framework's own share returns true.
    // Applications of this framework run their main window as a modal dialog,
    // which brings its own message loop, and return false.
    virtual bool InitInstance();

    // Runs InitInstance. Returns the process exit code.
    int Run();

    // Called when a handler lets an exception escape; tells the user. The
    // framework's own report shows the exception's text.
    virtual void ProcessWndProcException(std::exception_ptr failure) noexcept;

    const std::wstring& appName() const noexcept { return appName_; }
    void setAppName(std::wstring name) { appName_ = std::move(name); }

    // The window that owns the framework's report of an escaped exception.
    void setMainWindow(HWND window) noexcept { mainWindow_ = window; }

    HINSTANCE instance() const noexcept { return instance_; }

private:
    std::wstring appName_;
    HWND mainWindow_ = nullptr;
    HINSTANCE instance_;
};

// The application object of this process, or null.
WinApp* currentApp() noexcept;

// Reports an exception that escaped a window procedure: through the
// application object when there is one.
void reportHandlerException(std::exception_ptr failure) noexcept;

} // namespace ui
