#include "app/default_folders.h"

#include "app/product.h"
#include "support/product_code.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

std::wstring shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return path;
}

// The folder followed by the maker and the product key name, joined by the
// shell's path-append rule.
std::wstring productFolderBelow(const std::wstring& folder) {
    wchar_t path[MAX_PATH] = {};
    folder.copy(path, MAX_PATH - 1);
    ::PathAppendW(path, product::maker);
    ::PathAppendW(path, tw::productKeyName().c_str());
    return path;
}

} // namespace

std::wstring DefaultInstallFolder() {
    return productFolderBelow(shellFolder(CSIDL_PROGRAM_FILES));
}

std::wstring DefaultShortcutFolder() {
    std::wstring programs = shellFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) {
        programs = shellFolder(CSIDL_PROGRAMS);
    }
    return productFolderBelow(programs);
}
