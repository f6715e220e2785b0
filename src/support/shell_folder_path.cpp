#include "support/shell_folder_path.h"

#include "support/owner_window.h"

#include <shlobj.h>

namespace tw {

namespace {

std::wstring currentPath(HWND owner, int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(owner, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return path;
}

} // namespace

std::wstring shellFolderPath(HWND owner, int csidl, std::optional<int> fallbackCsidl) {
    std::wstring path = currentPath(owner, csidl);
    if (path.empty() && fallbackCsidl) {
        path = currentPath(owner, *fallbackCsidl);
    }
    return path;
}

std::wstring shellFolderPathWithOwner(int csidl) {
    return shellFolderPath(findOwnerWindow(), csidl);
}

} // namespace tw
