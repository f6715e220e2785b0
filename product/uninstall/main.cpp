// Uninstall.exe, the product's uninstaller as far as it exists yet: it reads
// "Uninstall.ulog" from its own folder with the installation's log reader and
// lists the entries it would remove. Removing them comes later.
#include "common/main_window.h"
#include "common/product_instance.h"
#include "install/log_format.h"

#include <windows.h>

#include <optional>
#include <span>
#include <string>

namespace {

constexpr wchar_t title[] = L"Uninstall Kelvane 3.00g";
constexpr wchar_t windowClass[] = L"KelvaneUninstallWindow";

std::wstring ownFolder() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The log as the installation wrote it, read with the installation's own
// reader; nothing when the file cannot be opened.
std::optional<LogContents> readLog(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    LogReader reader([](std::string_view line) {
        std::wstring wide(line.size(), L'\0');
        const int length = ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, line.data(),
                                                 static_cast<int>(line.size()), wide.data(),
                                                 static_cast<int>(wide.size()));
        wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        return wide;
    });
    std::uint8_t buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0 &&
           reader.Feed(std::span<const std::uint8_t>(buffer, got))) {
    }
    ::CloseHandle(file);
    reader.Finish();
    return std::move(reader.contents());
}

const wchar_t* kindName(LogKind kind) {
    switch (kind) {
    case LogKind::Folder:
        return L"Folder";
    case LogKind::File:
        return L"File";
    case LogKind::ProgramShortcut:
    case LogKind::UninstallShortcut:
    case LogKind::DesktopShortcut:
        return L"Shortcut";
    case LogKind::UninstallKey:
        return L"Uninstall key";
    case LogKind::FileAssociations:
        return L"File associations";
    }
    return L"";
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (HWND list = ::GetWindow(window, GW_CHILD)) {
            ::MoveWindow(list, 8, 8, LOWORD(lParam) - 16, HIWORD(lParam) - 16, TRUE);
        }
        return 0;
    default:
        return kelvane::mainWindowDefault(window, message, wParam, lParam);
    }
}

int showList(HINSTANCE instance, const std::wstring& text, int show) {
    HWND window = kelvane::createMainWindow(instance, {windowClass, windowProc, 1, COLOR_BTNFACE},
                                            title, 640, 420);
    if (window == nullptr) {
        return static_cast<int>(::GetLastError());
    }
    HWND list = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                      ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                  0, 0, 0, 0, window, nullptr, instance, nullptr);
    ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                   TRUE);
    return kelvane::runMainWindow(window, show);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    kelvane::startProgram();
    const std::wstring log = ownFolder() + L"Uninstall.ulog";
    const std::optional<LogContents> contents = readLog(log);
    if (!contents) {
        const std::wstring text = L"No uninstall log was found at\r\n" + log + L".";
        ::MessageBoxW(nullptr, text.c_str(), title, MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    std::wstring text = L"These entries of " + log + L" would be removed:\r\n\r\n";
    for (const LogEntry& entry : contents->entries) {
        text += std::wstring(kindName(entry.kind)) + L"\t" + entry.path + L"\r\n";
    }
    return showList(instance, text, show);
}
