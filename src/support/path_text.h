#pragma once
// Windows path text, read without the file system: separators, drive letters,
// the folder part of a path and its elements compared as Windows compares them. Portable, so that
// the payload and the installation rules that use it are tested natively.

#include <string>
#include <string_view>
#include <vector>

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

// The file-name part of a path: everything after its last separator; empty
// when it ends in one, the whole path when it has none. With parentPath it
// splits a path in two where pathElements would split it whole: a drive
// ("C:") or root of its own is no file name here.
std::wstring_view fileName(std::wstring_view path);

// The elements of a Windows path: a drive ("C:") when it has one, a root
// ("\", or "\\" for a UNC path) when it begins with a separator, the names in
// between, and an empty last element when it ends in a separator. A run of
// separators counts as one. The root elements are "\" and "\\" whichever
// separator the path used.
std::vector<std::wstring_view> pathElements(std::wstring_view path);

// The drive and the names of a path: its elements without the root and
// without an empty last one ("C:\\a\\" gives "C:", "a").
std::vector<std::wstring_view> pathNames(std::wstring_view path);

// Whether the elements begin with the elements of start, each pair equal
// ignoring case (equalIgnoringCase).
bool beginsWith(const std::vector<std::wstring_view>& elements,
                const std::vector<std::wstring_view>& start);

// The folder and every path from it down to path, path last, each as the part
// of path that names it: levelsDown("C:\\A", "c:\\a\\b") gives "c:\\a" and
// "c:\\a\\b". Empty when path does not lie at or below the folder. An empty
// last element of either counts as none; a drive's or server's root is no
// level.
std::vector<std::wstring> levelsDown(std::wstring_view folder, std::wstring_view path);

// The folders a path passes through, outermost first, path itself last, each
// as the part of path that names it: "C:\\a\\b" gives "C:\\a" and "C:\\a\\b".
// A drive's root, a server and its share are no folders of the path; an
// empty last element counts as none.
std::vector<std::wstring> folderLevels(std::wstring_view path);

// Whether two names are equal ignoring letter case, as file names are: the
// simple upper-case forms of the Latin (ASCII, Latin-1, Latin Extended-A and
// the Romanian comma letters), Greek and Cyrillic letters.
bool equalIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;

} // namespace tw
