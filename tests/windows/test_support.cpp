#include "test_support.h"

#include "support/system_library.h"
#include "support/unique_resource.h"
#include "support/version_block.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <filesystem>
#include <vector>

namespace testing_support {

std::wstring buildPath(const char* hostPath) {
    std::wstring path(hostPath, hostPath + std::char_traits<char>::length(hostPath));
    if (!path.empty() && path[0] == L'/') {
        path = L"Z:" + path;
    }
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

std::wstring directShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))
               ? std::wstring(path)
               : std::wstring();
}

void settleFolderTimes(const std::wstring& folder) {
    std::error_code ignored;
    for (std::filesystem::path path(folder); !path.empty(); path = path.parent_path()) {
        for (auto entries = std::filesystem::directory_iterator(path, ignored);
             entries != std::filesystem::directory_iterator(); entries.increment(ignored)) {
        }
        if (path == path.root_path()) {
            break;
        }
    }
}

namespace {

// The Unix path of a Windows path, as Wine maps it; empty when not under Wine.
std::wstring unixPath(const std::wstring& path) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixFileName != nullptr ? unixFileName(path.c_str()) : nullptr;
    if (name == nullptr) {
        return {};
    }
    std::wstring wide(
        static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
    ::HeapFree(::GetProcessHeap(), 0, name);
    wide.resize(wide.size() - 1);
    return wide;
}

// Runs a program of the Linux host on two paths under Wine, which starts it
// without a process to wait on: waits until done() holds, at most ten seconds.
void runOnHost(const std::wstring& program, const std::wstring& options, const std::wstring& a,
               const std::wstring& b, const std::function<bool()>& done) {
    ASSERT_TRUE(runningUnderWine()) << "only Wine runs programs of a Linux host";
    std::wstring commandLine = program + L" " + options + L" \"" + unixPath(a) + L"\"";
    if (!b.empty()) {
        commandLine += L" \"" + unixPath(b) + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(::CreateProcessW((L"Z:" + program).c_str(), commandLine.data(), nullptr, nullptr,
                                 FALSE, 0, nullptr, nullptr, &startup, &started))
        << ::GetLastError();
    for (int waited = 0; !done() && waited < 100; ++waited) {
        ::Sleep(100);
    }
    ASSERT_TRUE(done()) << "the host's " << std::string(program.begin(), program.end())
                        << " did not do its work";
}

} // namespace

void makeFolderLink(const std::wstring& link, const std::wstring& target) {
    runOnHost(L"/bin/ln", L"-s", target, link, [&] {
        const DWORD attributes = ::GetFileAttributesW(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    });
}

void removeFolderLink(const std::wstring& link) {
    runOnHost(L"/bin/rm", L"-f", link, {},
              [&] { return ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

namespace {

constexpr WORD neutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

std::vector<std::uint8_t> versionResource(const std::wstring& program) {
    const tw::unique_hmodule module(::LoadLibraryExW(
        program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC found =
        module ? ::FindResourceExW(module.get(), RT_VERSION, MAKEINTRESOURCEW(1), neutralLanguage)
               : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(module.get(), found) : nullptr;
    const auto* bytes = static_cast<const std::uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
    return bytes ? std::vector<std::uint8_t>(bytes, bytes + ::SizeofResource(module.get(), found))
                 : std::vector<std::uint8_t>();
}

} // namespace

std::vector<std::uint8_t> systemVersionInfo(const std::wstring& path) {
    using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    const auto getSize =
        tw::systemFunction<SizeFunction>(L"version.dll", "GetFileVersionInfoSizeW");
    const auto getInfo = tw::systemFunction<InfoFunction>(L"version.dll", "GetFileVersionInfoW");
    const DWORD size = getSize(path.c_str(), nullptr);
    std::vector<std::uint8_t> block(size);
    if (size == 0 || !getInfo(path.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

bool systemVersionValue(std::vector<std::uint8_t>& block, const std::wstring& subBlock,
                        void** value, UINT* length) {
    using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    const auto query = tw::systemFunction<QueryFunction>(L"version.dll", "VerQueryValueW");
    return query(block.data(), subBlock.c_str(), value, length) != FALSE;
}

void setProgramVersion(const std::wstring& program, std::uint64_t version,
                       const std::wstring& productVersion) {
    std::vector<std::uint8_t> block = versionResource(program);
    const tw::VersionBlock decoded(block);
    ASSERT_TRUE(decoded.fixedInfo().has_value()) << "no version resource in the program";
    ASSERT_FALSE(decoded.translations().empty());
    const auto fixed = tw::queryVersionValue(block, L"\\");
    const auto text = tw::queryVersionValue(
        block, L"\\StringFileInfo\\" + decoded.translations().front() + L"\\ProductVersion");
    ASSERT_TRUE(fixed && text);
    ASSERT_EQ(decoded.stringValue(L"ProductVersion").size(), productVersion.size())
        << "the product version must keep its length";

    tw::FixedFileInfo info = *decoded.fixedInfo();
    info.fileVersionMS = info.productVersionMS = static_cast<std::uint32_t>(version >> 32);
    info.fileVersionLS = info.productVersionLS = static_cast<std::uint32_t>(version);
    std::memcpy(block.data() + fixed->offset, &info, sizeof info);
    for (std::size_t i = 0; i < productVersion.size(); ++i) {
        const auto unit = static_cast<std::uint16_t>(productVersion[i]);
        block[text->offset + 2 * i] = static_cast<std::uint8_t>(unit & 0xFF);
        block[text->offset + 2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
    }

    HANDLE update = ::BeginUpdateResourceW(program.c_str(), FALSE);
    ASSERT_NE(update, nullptr) << "cannot update the program: error " << ::GetLastError();
    const bool replaced =
        ::UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), neutralLanguage, block.data(),
                          static_cast<DWORD>(block.size())) != FALSE;
    // Ending without a replacement discards the update.
    ASSERT_TRUE(::EndUpdateResourceW(update, !replaced) && replaced)
        << "the version resource could not be replaced: error " << ::GetLastError();
}

std::optional<ShellLink> loadShortcut(const std::wstring& path) {
    std::optional<ShellLink> loaded;
    std::thread([&] {
        if (FAILED(::CoInitialize(nullptr))) {
            return;
        }
        {
            tw::com_ptr<IShellLinkW> link;
            tw::com_ptr<IPersistFile> file;
            if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, link.put_void())) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) &&
                SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
                ShellLink shortcut;
                wchar_t text[MAX_PATH] = {};
                link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
                shortcut.target = text;
                text[0] = L'\0';
                link->GetWorkingDirectory(text, MAX_PATH);
                shortcut.workingFolder = text;
                text[0] = L'\0';
                link->GetArguments(text, MAX_PATH);
                shortcut.arguments = text;
                text[0] = L'\0';
                link->GetDescription(text, MAX_PATH);
                shortcut.description = text;
                link->GetHotkey(&shortcut.hotKey);
                loaded = shortcut;
            }
        }
        ::CoUninitialize();
    }).join();
    return loaded;
}

std::wstring windowText(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

void pressButton(HWND dialog, int button) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

bool isMessageBox(HWND dialog) {
    return ::GetDlgItem(dialog, 0xFFFF) != nullptr;
}

DialogWatcher::DialogWatcher(Match wanted, Action act, Dialogs dialogs)
    : wanted_(std::move(wanted))
    , act_(std::move(act))
    , dialogs_(dialogs)
    , thread_([this] { watch(); }) {}

DialogWatcher::~DialogWatcher() {
    stop();
}

void DialogWatcher::stop() {
    stopped_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

HWND DialogWatcher::find() {
    struct Search {
        DialogWatcher* watcher;
        HWND found;
    } search{this, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& state = *reinterpret_cast<Search*>(context);
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
                std::wstring(name) == L"#32770" && state.watcher->wanted_(window)) {
                state.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void DialogWatcher::watch() {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!stopped_ &&
           (dialogs_ == Dialogs::Every || std::chrono::steady_clock::now() < deadline)) {
        const HWND dialog = find();
        if (dialog == nullptr) {
            std::this_thread::sleep_for(50ms);
            continue;
        }
        // Let the dialog finish its own initialisation first.
        std::this_thread::sleep_for(300ms);
        seen_ = true;
        act_(dialog);
        if (dialogs_ == Dialogs::One) {
            return;
        }
        while (::IsWindow(dialog) && !stopped_) {
            std::this_thread::sleep_for(20ms);
        }
    }
}

namespace {
void wipe(const std::wstring& path) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored)) {
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path, ignored);
}
} // namespace

ScratchFolder::ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"kv-test-" + name;
    wipe(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    wipe(path_);
}

ScratchKey::ScratchKey(HKEY root, const std::wstring& path, bool created)
    : root_(root)
    , path_(path) {
    ::RegDeleteTreeW(root_, path_.c_str());
    ::RegDeleteKeyW(root_, path_.c_str());
    if (created) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
        }
    }
}

ScratchKey::~ScratchKey() {
    ::RegDeleteTreeW(root_, path_.c_str());
    ::RegDeleteKeyW(root_, path_.c_str());
}

} // namespace testing_support
