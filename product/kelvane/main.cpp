// Kelvane.exe, the product's main program as far as the setup program relies
// on it: started with " /Register /Background" (and optionally " /update="
// and 16 hexadecimal digits, the version being updated, which it remembers
// for the user) it takes the setup program's mutex, which the setup program
// lends it meanwhile, registers the product's document type with the shell and
// exits with -10 (with 170, ERROR_BUSY, when the mutex is held); otherwise it shows a small window
// that names the product and the document it was given.
#include "common/document_type.h"
#include "common/language_module.h"
#include "common/main_window.h"
#include "common/product_instance.h"
#include "kelvane/resource.h"
#include "support/application_id.h"
#include "support/program_path.h"
#include "support/registry.h"
#include "support/single_instance.h"

#include <windows.h>

#include <cwctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int registeredExitCode = -10;
constexpr wchar_t windowClass[] = L"KelvaneMainWindow";

bool isUpdateArgument(const std::wstring& text) {
    constexpr std::wstring_view prefix = L"/update=";
    if (text.size() != prefix.size() + 16 || text.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    for (std::size_t i = prefix.size(); i < text.size(); ++i) {
        if (!std::iswxdigit(text[i])) {
            return false;
        }
    }
    return true;
}

// Sets the default value of a key below HKEY_CLASSES_ROOT, creating the key.
void setClassValue(const std::wstring& subKey, const std::wstring& value) {
    tw::writeString(tw::CreateKey(HKEY_CLASSES_ROOT, subKey, KEY_SET_VALUE), L"", value);
}

// The document extension and its ProgID, opened by this program. Raises
// std::system_error on a registry error.
void registerDocumentType() {
    const std::wstring quoted = L"\"" + tw::programPath() + L"\"";
    const std::wstring id = kelvane::documentProgId;
    const std::pair<std::wstring, std::wstring> values[] = {
        {kelvane::documentExtension, id},
        {id, kelvane::loadString(nullptr, IDS_DOCUMENT_TYPE)},
        {kelvane::documentIconKey, quoted + L",-" + std::to_wstring(IDI_DOCUMENT)},
        {kelvane::documentOpenKey, quoted + L" \"%1\""},
    };
    for (const auto& [key, value] : values) {
        setClassValue(key, value);
    }
}

// Remembers the version this installation replaced (its 16 hexadecimal
// digits), so that the program's next start can carry the user's settings of
// that version over. Best effort: a failure leaves the settings as they are.
void rememberUpdatedVersion(const std::wstring& digits) {
    try {
        tw::writeString(tw::CreateKey(HKEY_CURRENT_USER, kelvane::settingsKey, KEY_SET_VALUE),
                        kelvane::updatedFromValue, digits);
    } catch (const std::system_error&) {
        // The settings stay as they are.
    }
}

int registerMode(const std::vector<std::wstring>& args) {
    const bool valid = (args.size() == 2 || (args.size() == 3 && isUpdateArgument(args[2]))) &&
                       args[1] == L"/Background";
    if (!valid) {
        return ERROR_INVALID_PARAMETER;
    }
    // The setup program lends its mutex while this runs: registering is
    // refused when it cannot be taken.
    tw::NamedMutex setupMutex(tw::applicationId() + tw::mutexSuffix, false, true);
    if (!setupMutex.tryLock()) {
        return ERROR_BUSY;
    }
    try {
        registerDocumentType();
    } catch (const std::system_error& failure) {
        // The registry's error is the exit code: anything but -10 is a failure.
        return failure.code().value();
    }
    if (args.size() == 3) {
        rememberUpdatedVersion(args[2].substr(std::wstring_view(L"/update=").size()));
    }
    return registeredExitCode;
}

// The welcome text in the user's language, from the language module beside
// the program when there is one.
std::wstring welcomeText() {
    std::wstring text = kelvane::languageText(
        kelvane::ownFolder(), PRIMARYLANGID(::GetUserDefaultUILanguage()), IDS_WELCOME);
    return text.empty() ? kelvane::loadString(nullptr, IDS_WELCOME) : text;
}

// The "Title:" line of a Kelvane document, or its path when it has none.
std::wstring documentTitle(const std::wstring& path) {
    std::ifstream in{std::filesystem::path(path)};
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Title: ", 0) == 0) {
            const std::string title = line.substr(7);
            const int length = ::MultiByteToWideChar(CP_UTF8, 0, title.data(),
                                                     static_cast<int>(title.size()), nullptr, 0);
            std::wstring wide(static_cast<std::size_t>(length), L'\0');
            ::MultiByteToWideChar(CP_UTF8, 0, title.data(), static_cast<int>(title.size()),
                                  wide.data(), length);
            return wide;
        }
    }
    return path;
}

std::wstring windowText;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT area;
        ::GetClientRect(window, &area);
        ::InflateRect(&area, -16, -16);
        ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextW(dc, windowText.c_str(), -1, &area, DT_LEFT | DT_TOP | DT_WORDBREAK);
        ::EndPaint(window, &paint);
        return 0;
    }
    default:
        return kelvane::mainWindowDefault(window, message, wParam, lParam);
    }
}

int windowMode(HINSTANCE instance, const std::vector<std::wstring>& args, int show) {
    windowText = welcomeText() + L"\r\n\r\nKelvane 3.00g \u2013 Tarnwick";
    if (!args.empty()) {
        windowText += L"\r\n\r\n" + documentTitle(args.front());
    }
    HWND window = kelvane::createMainWindow(
        instance, {windowClass, windowProc, IDI_KELVANE, COLOR_WINDOW}, L"Kelvane 3.00g", 420, 220);
    if (window == nullptr) {
        return static_cast<int>(::GetLastError());
    }
    return kelvane::runMainWindow(window, show);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    kelvane::startProgram();
    const std::vector<std::wstring> args = kelvane::programArguments();
    if (!args.empty() && args.front() == L"/Register") {
        return registerMode(args);
    }
    return windowMode(instance, args, show);
}
