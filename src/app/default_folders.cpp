#include "app/default_folders.h"

#include "install/product.h"
#include "support/product_code.h"
#include "support/shell_folder_path.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

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

std::wstring defaultInstallFolder() {
    return productFolderBelow(tw::shellFolderPath(nullptr, CSIDL_PROGRAM_FILES));
}

std::wstring defaultShortcutFolder() {
    return productFolderBelow(tw::shellFolderPath(nullptr, CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS));
}
