#include "support/temporary_folder.h"

#include <windows.h>

namespace tw {

std::wstring temporaryFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, path);
    if (length == 0 || length > longestTemporaryFolder) {
        return {};
    }
    return std::wstring(path, length);
}

std::wstring newTemporaryFile(const std::wstring& folder) {
    wchar_t name[MAX_PATH] = {};
    if (folder.empty() || folder.size() > longestTemporaryFolder ||
        ::GetTempFileNameW(folder.c_str(), L"tw", 0, name) == 0) {
        return {};
    }
    return name;
}

} // namespace tw
