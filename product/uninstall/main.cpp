// Uninstall.exe, the product's uninstaller as far as it exists yet: it reads
// "Uninstall.ulog" from its own folder (UTF-16LE with a byte-order mark, CR LF
// line ends) and lists the entries it would remove. Removing them comes later.
#include "common/product_instance.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t title[] = L"Uninstall Kelvane 3.00g";
constexpr wchar_t windowClass[] = L"KelvaneUninstallWindow";

std::wstring ownFolder() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The entry lines of the log: every line that is not a "//" header line.
// STAND-IN: the uninstall-log reader of the installation (install/uninstall_log)
// takes over the parsing when it arrives; this only splits the lines.
bool readEntryLines(const std::wstring& path, std::vector<std::wstring>& lines) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    ::CloseHandle(file);
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE) {
        return false;
    }
    std::wstring line;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                               (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit != L'\n') {
            line.push_back(unit);
            continue;
        }
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        if (!line.empty() && line.rfind(L"//", 0) != 0) {
            lines.push_back(line);
        }
        line.clear();
    }
    if (!line.empty() && line.rfind(L"//", 0) != 0) {
        lines.push_back(line);
    }
    return true;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (HWND list = ::GetWindow(window, GW_CHILD)) {
            ::MoveWindow(list, 8, 8, LOWORD(lParam) - 16, HIWORD(lParam) - 16, TRUE);
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

int showList(HINSTANCE instance, const std::wstring& text, int show) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    info.lpfnWndProc = windowProc;
    info.hInstance = instance;
    info.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    info.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    info.lpszClassName = windowClass;
    ::RegisterClassExW(&info);
    HWND window = ::CreateWindowExW(0, windowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 640, 420, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return static_cast<int>(::GetLastError());
    }
    HWND list = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                      ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                  0, 0, 0, 0, window, nullptr, instance, nullptr);
    ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                   TRUE);
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    const kelvane::RunningRegistration running;
    const std::wstring log = ownFolder() + L"Uninstall.ulog";
    std::vector<std::wstring> lines;
    if (!readEntryLines(log, lines)) {
        const std::wstring text = L"No uninstall log in UTF-16 was found at\r\n" + log + L".";
        ::MessageBoxW(nullptr, text.c_str(), title, MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    std::wstring text = L"These entries of " + log + L" would be removed:\r\n\r\n";
    for (const std::wstring& line : lines) {
        text += line + L"\r\n";
    }
    return showList(instance, text, show);
}
