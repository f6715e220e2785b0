#include "install/links.h"

#include "support/path_text.h"

#include <windows.h>

bool isLink(const std::wstring& path) {
    // The attributes of the last element itself: a link there is not followed.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring firstLinkDown(const std::wstring& folder, const std::wstring& path) {
    for (std::wstring& level : tw::levelsDown(folder, path)) {
        if (isLink(level)) {
            return std::move(level);
        }
    }
    return {};
}
