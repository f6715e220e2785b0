#pragma once
// The process-wide replaceable functions through which an application
// customises the library. Each slot is empty until the application sets it;
// an empty slot stands for the library's default. The application object
// names message boxes through applicationName once it has a name of its own.

#include <windows.h>
#include <exception>
#include <functional>
#include <string>
#include <utility>

namespace tw {

struct OwnerWindows {
    HWND owner = nullptr;
    HWND reenable = nullptr;
};

struct Providers {
    std::function<std::wstring()> applicationName;
    std::function<HICON()> applicationIcon;
    std::function<HMODULE()> resourceModule;
    std::function<bool()> silentMode;
    std::function<OwnerWindows()> ownerWindows;
    std::function<void(bool closed)> modalNotification;
    // The text an application gives for an exception, and a further text of
    // its own. These belong to the customisation the library offers every
    // application of the maker; the setup program leaves both empty and
    // nothing of it asks them, so an empty slot means no such text.
    std::function<std::wstring(const std::exception&)> exceptionText;
    std::function<std::wstring()> furtherText;
};

// The providers of this process, created empty on first use.
Providers& providers();

// The application's name, the default caption of message boxes: the provider's
// answer when it is set, else the display name of the executable's own version
// resource, else the stem of the executable's path.
std::wstring applicationName();

// The name used when no application object names itself.
std::wstring applicationNameFallback();

} // namespace tw
