#include "support/missing_folders.h"

#include "support/path_text.h"

#include <windows.h>

namespace tw {

std::vector<std::wstring> missingFolders(const std::wstring& folder) {
    std::vector<std::wstring> missing;
    for (std::wstring& level : folderLevels(folder)) {
        const DWORD attributes = ::GetFileAttributesW(level.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            missing.push_back(std::move(level));
        }
    }
    return missing;
}

} // namespace tw
