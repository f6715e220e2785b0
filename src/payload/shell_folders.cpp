#include "payload/shell_folders.h"

#include "support/owner_window.h"

#include <windows.h>
#include <shlobj.h>

namespace payload {

std::wstring shellFolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(
            ::SHGetFolderPathW(tw::findOwnerWindow(), csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return path;
}

} // namespace payload
