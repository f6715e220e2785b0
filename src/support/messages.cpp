#include "support/messages.h"

#include "support/language_state.h"
#include "support/message_rules.h"
#include "support/owner_window.h"
#include "support/providers.h"
#include "support/resources.h"
#include "support/unique_resource.h"

namespace tw {

namespace {

std::wstring systemMessage(std::int32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const unique_hlocal owned(buffer);
    return length == 0 ? std::wstring{} : std::wstring(buffer, length);
}

std::wstring applicationString(std::uint16_t id) {
    HMODULE module = resourceModule();
    std::wstring text = loadString(module, id);
    HMODULE executable = ::GetModuleHandleW(nullptr);
    if (text.empty() && module != executable) {
        text = loadString(executable, id);
    }
    return text;
}

} // namespace

bool readsRightToLeft(HWND owner) {
    if (owner != nullptr) {
        return (::GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    }
    return isRightToLeft(DefaultLanguage(0));
}

std::wstring errorText(std::int32_t code) {
    return errorTextFrom(code, {applicationString, systemMessage});
}

int showMessage(const std::wstring& text, std::uint32_t messageStyle, const std::wstring& caption) {
    const Providers& slots = providers();
    std::optional<bool> silentAnswer;
    if (slots.silentMode) {
        silentAnswer = slots.silentMode();
    }
    const bool silent = isSilentMessage(messageStyle, silentAnswer);

    OwnerWindows windows;
    if (slots.ownerWindows) {
        windows = slots.ownerWindows();
    } else {
        windows.owner = findOwnerWindow();
    }
    if (!silent) {
        if (slots.modalNotification) {
            slots.modalNotification(false);
        }
        if (windows.owner != nullptr && windows.owner != windows.reenable) {
            ::EnableWindow(windows.owner, TRUE);
        }
    }

    const std::uint32_t completed =
        completeMessageStyle(messageStyle, readsRightToLeft(windows.owner));
    const std::wstring title = caption.empty() ? applicationName() : caption;

    if (silent) {
        ::OutputDebugStringW((text + L"\n").c_str());
        return IDOK;
    }
    const int pressed =
        ::MessageBoxW(windows.owner, text.c_str(), title.c_str(), messageBoxStyle(completed));
    if (windows.reenable != nullptr) {
        ::EnableWindow(windows.reenable, TRUE);
    }
    if (slots.modalNotification) {
        slots.modalNotification(true);
    }
    return pressed;
}

void showError(std::int32_t code) {
    showMessage(errorText(code), style::ok | style::iconExclamation);
}

} // namespace tw
