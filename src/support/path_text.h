#pragma once
// Windows path text, read without the file system: separators, drive letters
// and the folder part of a path. Portable, so that the payload and the
// installation rules that use it are tested natively.

#include <string>
#include <string_view>

namespace tw {

// "\" or "/": Windows accepts either between the elements of a path.
constexpr bool isPathSeparator(wchar_t c) noexcept {
    return c == L'\\' || c == L'/';
}

// An ASCII letter, as a drive is named.
constexpr bool isDriveLetter(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Whether the path begins with a drive: a letter and a colon ("C:").
constexpr bool hasDrivePrefix(std::wstring_view path) noexcept {
    return path.size() >= 2 && isDriveLetter(path[0]) && path[1] == L':';
}

// The folder part of a path: everything before its last separator; empty for
// a bare name.
std::wstring parentPath(std::wstring_view path);

} // namespace tw
