#include "driver.h"

#include "support/unique_resource.h"

#include <commctrl.h>
#include <tlhelp32.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace e2e {

namespace {

std::wstring environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring{};
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM search) {
    auto& state = *reinterpret_cast<WindowSearch*>(search);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == state.processId && ::IsWindowVisible(window)) {
        state.found.push_back(window);
    }
    return TRUE;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findVisibleControl(HWND window, LPARAM search) {
    auto& state = *reinterpret_cast<ControlSearch*>(search);
    if (::GetDlgCtrlID(window) == state.id && ::IsWindowVisible(window)) {
        state.found = window;
        return FALSE;
    }
    return TRUE;
}

// A block of memory in the process of a window, for the messages whose data
// the system does not copy between processes.
class RemoteMemory {
public:
    RemoteMemory(HWND window, std::size_t size) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 processId);
        if (process_ != nullptr) {
            address_ = static_cast<char*>(::VirtualAllocEx(
                process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        }
        if (address_ == nullptr) {
            throw std::runtime_error("no memory in the process of the window");
        }
    }
    ~RemoteMemory() {
        ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        ::CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* address(std::size_t offset = 0) const { return address_ + offset; }
    void write(std::size_t offset, const void* data, std::size_t size) const {
        ::WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    void read(std::size_t offset, void* data, std::size_t size) const {
        ::ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
};

BOOL CALLBACK collectButtons(HWND window, LPARAM buttons) {
    if (className(window) == L"Button" && ::IsWindowVisible(window)) {
        reinterpret_cast<std::vector<int>*>(buttons)->push_back(::GetDlgCtrlID(window));
    }
    return TRUE;
}

} // namespace

std::wstring installerPath() {
    std::wstring path = environment(L"KV_INSTALLER");
    if (path.empty()) {
        throw std::runtime_error("KV_INSTALLER is not set");
    }
    return path;
}

Installer::Installer(const std::wstring& path, const std::wstring& arguments) {
    start(path, arguments, nullptr);
}

Installer::Installer(const std::wstring& path, HANDLE token) {
    start(path, {}, token);
}

void Installer::end() {
    if (running()) {
        ::TerminateProcess(process_, 1);
        ::WaitForSingleObject(process_, 10'000);
    }
}

void Installer::start(const std::wstring& path, const std::wstring& arguments, HANDLE token) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + path + L"\"" + arguments;
    const BOOL created =
        token == nullptr
            ? ::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &started)
            : ::CreateProcessAsUserW(token, path.c_str(), commandLine.data(), nullptr, nullptr,
                                     FALSE, 0, nullptr, nullptr, &startup, &started);
    if (!created) {
        throw std::runtime_error("the installer could not be started");
    }
    ::CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
}

Installer::~Installer() {
    if (running()) {
        ::TerminateProcess(process_, 99);
        ::WaitForSingleObject(process_, 5000);
    }
    ::CloseHandle(process_);
}

bool Installer::running() const {
    return ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Installer::waitForExit(std::chrono::milliseconds wait) {
    if (::WaitForSingleObject(process_, static_cast<DWORD>(wait.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_, &code)) {
        return std::nullopt;
    }
    return code;
}

std::vector<DWORD> itsChildren(DWORD parent) {
    std::vector<DWORD> children;
    const tw::unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == parent) {
            children.push_back(entry.th32ProcessID);
        }
    }
    return children;
}

void waitForItsChildren(DWORD parent) {
    for (const DWORD id : itsChildren(parent)) {
        const tw::unique_handle child(::OpenProcess(SYNCHRONIZE, FALSE, id));
        if (child) {
            EXPECT_EQ(::WaitForSingleObject(child.get(), 20'000), WAIT_OBJECT_0)
                << "a process it started did not end: " << whatItShows(id);
        }
    }
}

std::vector<HWND> topLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    ::EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring windowText(HWND window) {
    // The progress log outgrows any fixed buffer: ask for the length first.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                               reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                               &copied)) {
        return {};
    }
    text.resize(std::min(static_cast<std::size_t>(copied), text.size() - 1));
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::string whatItShows(DWORD processId) {
    std::wstring report;
    const tw::unique_handle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    DWORD code = 0;
    if (!process || !::GetExitCodeProcess(process.get(), &code)) {
        report = L"the process is gone";
    } else if (code != STILL_ACTIVE) {
        wchar_t hexadecimal[16] = {};
        std::swprintf(hexadecimal, 16, L"0x%08lx", static_cast<unsigned long>(code));
        report = L"the process ended with exit code " + std::to_wstring(code) + L" (" +
                 hexadecimal + L")";
    } else {
        report = L"the process still runs";
    }
    const std::vector<HWND> windows = topLevelWindows(processId);
    if (windows.empty()) {
        report += L" and shows no window";
        // How far it got: the modules it has loaded, in the order loaded.
        const tw::unique_file modules(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
        MODULEENTRY32W module{};
        module.dwSize = sizeof module;
        std::wstring loaded;
        for (BOOL more = modules && ::Module32FirstW(modules.get(), &module); more;
             more = ::Module32NextW(modules.get(), &module)) {
            loaded += (loaded.empty() ? L"" : L", ") + std::wstring(module.szModule);
        }
        if (!loaded.empty()) {
            report += L"; it has loaded " + loaded;
        }
    }
    for (HWND window : windows) {
        report += L"; it shows \"" + windowText(window) + L"\" (" + className(window) + L")";
        // A message box says what it says in its static control.
        if (HWND text = ::GetDlgItem(window, 0xFFFF); text != nullptr) {
            report += L": \"" + windowText(text) + L"\"";
        }
    }
    return testing::PrintToString(report);
}

HWND waitForWindow(DWORD processId, const std::wstring& caption, std::chrono::milliseconds wait) {
    HWND found = nullptr;
    const auto appeared = [&] {
        for (HWND window : topLevelWindows(processId)) {
            if (windowText(window) == caption) {
                found = window;
                return true;
            }
        }
        return false;
    };
    if (!waitUntil(appeared, wait)) {
        const std::string shown = whatItShows(processId);
        // Slow or stuck: whether the window comes at all, a while later.
        const auto late = std::chrono::steady_clock::now();
        const bool later = waitUntil(appeared, 60s);
        const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - late);
        ADD_FAILURE() << "no window captioned " << testing::PrintToString(caption)
                      << " appeared in " << wait.count() << " ms: " << shown
                      << (later ? "; it appeared " + std::to_string(after.count()) + " ms later"
                                : std::string("; it did not appear in 60 s more"));
        found = nullptr;
    }
    return found;
}

ShownMessage waitForMessageBox(DWORD processId, const std::vector<HWND>& others,
                               std::chrono::milliseconds wait) {
    ShownMessage box;
    waitUntil(
        [&] {
            for (HWND window : topLevelWindows(processId)) {
                if (className(window) == L"#32770" &&
                    std::find(others.begin(), others.end(), window) == others.end()) {
                    box.window = window;
                    return true;
                }
            }
            return false;
        },
        wait);
    EXPECT_NE(box.window, nullptr)
        << "no message box appeared in " << wait.count() << " ms: " << whatItShows(processId);
    if (box.window != nullptr) {
        box.caption = windowText(box.window);
        box.text = windowText(::GetDlgItem(box.window, 0xFFFF));
        ::EnumChildWindows(box.window, collectButtons, reinterpret_cast<LPARAM>(&box.buttons));
    }
    return box;
}

void answer(const ShownMessage& box, int button) {
    ASSERT_NE(box.window, nullptr);
    HWND control = ::GetDlgItem(box.window, button);
    ASSERT_NE(control, nullptr) << "the message box has no button " << button;
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
    // The box carries the program's title as its caption, as the wizard's
    // frame does: a wait for the frame must not find the box still closing.
    waitUntil([&] { return !::IsWindowVisible(box.window); }, 5s, 5ms);
}

HWND findControl(HWND root, int id) {
    ControlSearch search{id, nullptr};
    ::EnumChildWindows(root, findVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND control(HWND root, int id) {
    HWND found = findControl(root, id);
    EXPECT_NE(found, nullptr) << "no visible control " << id;
    return found;
}

std::wstring controlText(HWND root, int id) {
    HWND found = control(root, id);
    return found != nullptr ? windowText(found) : std::wstring{};
}

bool controlEnabled(HWND root, int id) {
    HWND found = control(root, id);
    return found != nullptr && ::IsWindowEnabled(found);
}

void click(HWND root, int id) {
    HWND button = control(root, id);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(::IsWindowEnabled(button)) << "control " << id << " is disabled";
    const LONG type = ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        // What a push button tells its dialog when it is clicked; unlike
        // BM_CLICK it does not depend on which window is active.
        ::PostMessageW(::GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
        return;
    }
    // Check boxes and radio buttons press themselves, so that their state
    // changes as with a mouse click before the dialog gets the command.
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

std::vector<ListItem> comboExItems(HWND combo) {
    constexpr std::size_t textChars = 256;
    const RemoteMemory memory(combo, sizeof(COMBOBOXEXITEMW) + textChars * sizeof(wchar_t));
    std::vector<ListItem> items;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM;
        item.iItem = index;
        item.pszText = reinterpret_cast<wchar_t*>(memory.address(sizeof(item)));
        item.cchTextMax = textChars;
        memory.write(0, &item, sizeof(item));
        DWORD_PTR found = 0;
        ::SendMessageTimeoutW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.address()),
                              SMTO_ABORTIFHUNG, 5000, &found);
        if (!found) {
            ADD_FAILURE() << "item " << index << " of the list cannot be read";
            continue;
        }
        wchar_t text[textChars] = {};
        memory.read(0, &item, sizeof(item));
        memory.read(sizeof(item), text, sizeof(text));
        text[textChars - 1] = L'\0';
        items.push_back({text, item.lParam});
    }
    return items;
}

void chooseItem(HWND root, int id, int index) {
    HWND list = control(root, id);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(::IsWindowEnabled(list)) << "control " << id << " is disabled";
    ASSERT_EQ(::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0), index);
    // Posted: the dialog may answer with a message box of its own.
    ::PostMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

HWND waitForFolderDialog(DWORD processId, const std::vector<HWND>& others,
                         std::chrono::milliseconds wait) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : topLevelWindows(processId)) {
                if (className(window) == L"#32770" &&
                    std::find(others.begin(), others.end(), window) == others.end() &&
                    ::FindWindowExW(window, nullptr, L"SysTreeView32", nullptr) != nullptr) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        wait);
    EXPECT_NE(found, nullptr) << "no folder-browsing dialog appeared in " << wait.count()
                              << " ms: " << whatItShows(processId);
    // The dialog fills its tree and edit box while it initialises.
    ::SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    return found;
}

HWND folderDialogEditBox(HWND dialog) {
    HWND edit = ::FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    return edit != nullptr && ::IsWindowVisible(edit) ? edit : nullptr;
}

void selectFolder(HWND dialog, const std::wstring& folder) {
    const std::size_t size = (folder.size() + 1) * sizeof(wchar_t);
    const RemoteMemory memory(dialog, size);
    memory.write(0, folder.c_str(), size);
    ::SendMessageTimeoutW(dialog, BFFM_SETSELECTIONW, TRUE,
                          reinterpret_cast<LPARAM>(memory.address()), SMTO_ABORTIFHUNG, 5000,
                          nullptr);
}

namespace {

// A bottom-up picture of 24 bits a pixel.
BITMAPINFOHEADER pictureHeader(int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    return header;
}

} // namespace

ScreenPicture::ScreenPicture(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP picture = ::CreateCompatibleBitmap(screen, width_, height_);
    HGDIOBJ previous = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, width_, height_, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, previous);

    BITMAPINFOHEADER header = pictureHeader(width_, height_);
    stride_ = ((static_cast<DWORD>(width_) * 3 + 3) / 4) * 4;
    rows_.resize(stride_ * static_cast<DWORD>(height_));
    ::GetDIBits(memory, picture, 0, static_cast<UINT>(height_), rows_.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

COLORREF ScreenPicture::pixel(int x, int y) const {
    const auto* at = reinterpret_cast<const unsigned char*>(rows_.data()) +
                     stride_ * static_cast<DWORD>(height_ - 1 - y) + static_cast<DWORD>(x) * 3;
    return RGB(at[2], at[1], at[0]);
}

void ScreenPicture::save(const std::wstring& path) const {
    const BITMAPINFOHEADER header = pictureHeader(width_, height_);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rows_.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(rows_.data(), static_cast<std::streamsize>(rows_.size()));
}

void screenshot(HWND window, const std::wstring& name) {
    const std::wstring folder = environment(L"KV_SCREENSHOTS");
    if (folder.empty() || window == nullptr) {
        return;
    }
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::Sleep(300);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    ScreenPicture(window).save((std::filesystem::path(folder) / (name + L".bmp")).wstring());
}

} // namespace e2e
