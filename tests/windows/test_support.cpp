#include "test_support.h"

#include <windows.h>
#include <filesystem>

namespace testing_support {

bool runningUnderWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

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

} // namespace testing_support
