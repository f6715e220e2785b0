#include "support/folder_picker_rules.h"

#include "support/path_text.h"

#include <algorithm>
#include <vector>

namespace tw {

namespace {

constexpr std::size_t maxPathChars = 260;

using Elements = std::vector<std::wstring_view>;

// Whether the last elements of path are the first `count` elements of sub.
bool endsWithElements(const Elements& path, const Elements& sub, std::size_t count) {
    if (count > path.size()) {
        return false;
    }
    const std::size_t offset = path.size() - count;
    for (std::size_t i = 0; i < count; ++i) {
        if (!equalIgnoringCase(path[offset + i], sub[i])) {
            return false;
        }
    }
    return true;
}

// The shell's path-append rule for plain elements: one backslash between the
// path and what follows it.
std::wstring appendElements(std::wstring_view path, const Elements& elements, std::size_t from) {
    std::wstring result(path);
    for (std::size_t i = from; i < elements.size(); ++i) {
        if (!result.empty() && !isPathSeparator(result.back())) {
            result += L'\\';
        }
        result += elements[i];
    }
    return result;
}

constexpr bool isBlank(wchar_t c) noexcept {
    return c == L' ' || c == L'\t';
}

} // namespace

bool isPlainPathChar(wchar_t c) noexcept {
    if (c < L' ') {
        return false;
    }
    switch (c) {
    case L'"':
    case L'<':
    case L'>':
    case L'|':
    case L'/':
    case L'*':
    case L'?':
        return false;
    default:
        return true;
    }
}

bool isRelativePath(std::wstring_view path) noexcept {
    if (path.empty()) {
        return true;
    }
    return path[0] != L'\\' && !(path.size() >= 2 && path[1] == L':');
}

std::wstring pickerSubFolder(std::wstring_view subFolder) {
    if (!std::all_of(subFolder.begin(), subFolder.end(), isPlainPathChar)) {
        return {};
    }
    while (!subFolder.empty() && subFolder.back() == L'.') {
        subFolder.remove_suffix(1);
    }
    return std::wstring(subFolder);
}

std::wstring pickerStartFolder(std::wstring_view initialFolder, std::wstring_view rootPath,
                               std::wstring_view documents) {
    std::wstring path =
        isRelativePath(initialFolder) ? std::wstring() : std::wstring(initialFolder);
    if (path.empty()) {
        path = rootPath;
    }
    if (!path.empty() && path.back() == L':') {
        path += L'\\';
    }
    if (path.empty()) {
        path = documents;
    }
    return path;
}

bool endsWithSubFolder(std::wstring_view path, std::wstring_view subFolder) {
    const Elements sub = pathNames(subFolder);
    return endsWithElements(pathNames(path), sub, sub.size());
}

std::wstring appendSubFolder(std::wstring_view path, std::wstring_view subFolder) {
    const Elements sub = pathNames(subFolder);
    const Elements elements = pathNames(path);
    if (endsWithElements(elements, sub, sub.size())) {
        return std::wstring(path);
    }
    std::size_t matched = sub.size() - 1;
    while (matched > 0 && !endsWithElements(elements, sub, matched)) {
        --matched;
    }
    return appendElements(path, sub, matched);
}

std::wstring removeSubFolder(std::wstring_view path, std::wstring_view subFolder) {
    const std::size_t count = pathNames(subFolder).size();
    if (count == 0 || !endsWithSubFolder(path, subFolder)) {
        return std::wstring(path);
    }
    std::size_t end = path.size();
    for (std::size_t i = 0; i < count; ++i) {
        while (end > 0 && isPathSeparator(path[end - 1])) {
            --end;
        }
        while (end > 0 && !isPathSeparator(path[end - 1])) {
            --end;
        }
    }
    while (end > 0 && isPathSeparator(path[end - 1])) {
        --end;
    }
    std::wstring rest(path.substr(0, end));
    if (rest.size() == 2 && rest[1] == L':') {
        rest += L'\\';
    }
    return rest;
}

bool isInFolder(std::wstring_view path, std::wstring_view folder) {
    const Elements outer = pathNames(folder);
    const Elements inner = pathNames(path);
    if (outer.empty() || inner.size() < outer.size()) {
        return false;
    }
    return std::equal(
        outer.begin(), outer.end(), inner.begin(),
        [](std::wstring_view a, std::wstring_view b) { return equalIgnoringCase(a, b); });
}

TypedFolder checkTypedFolder(std::wstring_view typed, std::wstring_view rootParent,
                             const QualifyFolder& qualify) {
    if (typed.size() >= maxPathChars) {
        return {picker_error::tooLong, {}};
    }
    while (!typed.empty() && isBlank(typed.front())) {
        typed.remove_prefix(1);
    }
    while (!typed.empty() && isBlank(typed.back())) {
        typed.remove_suffix(1);
    }
    if (!typed.empty() && typed.back() == L'\\') {
        typed.remove_suffix(1);
    }
    std::wstring text(typed);
    if (text.size() == 2 && text[1] == L':') {
        text += L'\\';
    }
    if (text.empty()) {
        text = L".";
    }
    TypedFolder qualified = qualify(text);
    if (!qualified.accepted()) {
        return qualified;
    }
    std::wstring& folder = qualified.folder;
    if (folder.empty() || (!rootParent.empty() && !isInFolder(folder, rootParent)) ||
        !std::all_of(folder.begin(), folder.end(), isPlainPathChar)) {
        return {picker_error::badPath, {}};
    }
    return {0, std::move(folder)};
}

} // namespace tw
