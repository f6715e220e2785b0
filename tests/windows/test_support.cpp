#include "test_support.h"

#include <windows.h>
#include <shlobj.h>

#include <filesystem>

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
