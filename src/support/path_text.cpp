#include "support/path_text.h"

#include <algorithm>
#include <cstdint>

namespace tw {

std::wstring parentPath(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? std::wstring()
                                                : std::wstring(path.substr(0, separator));
}

std::wstring_view fileName(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

namespace {

constexpr std::wstring_view rootElement = L"\\";
constexpr std::wstring_view uncRootElement = L"\\\\";

} // namespace

std::vector<std::wstring_view> pathElements(std::wstring_view path) {
    std::vector<std::wstring_view> elements;
    if (hasDrivePrefix(path)) {
        elements.push_back(path.substr(0, 2));
        path.remove_prefix(2);
    }
    std::size_t separators = 0;
    while (separators < path.size() && isPathSeparator(path[separators])) {
        ++separators;
    }
    if (separators > 0) {
        const bool unc = separators >= 2 && elements.empty();
        elements.push_back(unc ? uncRootElement : rootElement);
        path.remove_prefix(separators);
    }
    while (!path.empty()) {
        std::size_t length = 0;
        while (length < path.size() && !isPathSeparator(path[length])) {
            ++length;
        }
        elements.push_back(path.substr(0, length));
        path.remove_prefix(length);
        if (path.empty()) {
            break;
        }
        while (!path.empty() && isPathSeparator(path.front())) {
            path.remove_prefix(1);
        }
        if (path.empty()) {
            elements.push_back({});
        }
    }
    return elements;
}

std::vector<std::wstring_view> pathNames(std::wstring_view path) {
    std::vector<std::wstring_view> names = pathElements(path);
    std::erase_if(names, [](std::wstring_view element) {
        return element.empty() || element == rootElement || element == uncRootElement;
    });
    return names;
}

bool beginsWith(const std::vector<std::wstring_view>& elements,
                const std::vector<std::wstring_view>& start) {
    return elements.size() >= start.size() &&
           std::equal(start.begin(), start.end(), elements.begin(), equalIgnoringCase);
}

std::vector<std::wstring> levelsDown(std::wstring_view folder, std::wstring_view path) {
    const auto withoutEmptyLast = [](std::wstring_view text) {
        std::vector<std::wstring_view> elements = pathElements(text);
        if (!elements.empty() && elements.back().empty()) {
            elements.pop_back();
        }
        return elements;
    };
    const std::vector<std::wstring_view> top = withoutEmptyLast(folder);
    const std::vector<std::wstring_view> elements = withoutEmptyLast(path);
    std::vector<std::wstring> levels;
    if (top.empty() || !beginsWith(elements, top)) {
        return levels;
    }
    for (std::size_t i = top.size() - 1; i < elements.size(); ++i) {
        const std::wstring_view last = elements[i];
        if (last == rootElement || last == uncRootElement) {
            continue; // not a part of path: the root elements are shared texts
        }
        levels.emplace_back(
            path.substr(0, static_cast<std::size_t>(last.data() - path.data()) + last.size()));
    }
    return levels;
}

std::vector<std::wstring> folderLevels(std::wstring_view path) {
    std::vector<std::wstring_view> elements = pathElements(path);
    if (!elements.empty() && elements.back().empty()) {
        elements.pop_back();
    }
    std::size_t first = hasDrivePrefix(path) ? 1 : 0;
    if (first < elements.size() && elements[first] == rootElement) {
        first += 1;
    } else if (first < elements.size() && elements[first] == uncRootElement) {
        first += 3; // the root, the server and the share
    }
    std::vector<std::wstring> levels;
    for (std::size_t i = first; i < elements.size(); ++i) {
        const std::wstring_view last = elements[i];
        levels.emplace_back(
            path.substr(0, static_cast<std::size_t>(last.data() - path.data()) + last.size()));
    }
    return levels;
}

namespace {

// The simple upper-case form of a letter of the scripts the product's
// languages are written in; any other character is returned unchanged.
constexpr wchar_t upperCase(wchar_t c) noexcept {
    const auto u = static_cast<std::uint32_t>(c);
    const auto lowerOfPair = [u](std::uint32_t first, std::uint32_t last, std::uint32_t parity) {
        return u >= first && u <= last && (u & 1u) == parity;
    };
    if ((u >= 0x61 && u <= 0x7A) || (u >= 0xE0 && u <= 0xFE && u != 0xF7) ||
        (u >= 0x3B1 && u <= 0x3CB && u != 0x3C2) || (u >= 0x430 && u <= 0x44F)) {
        return static_cast<wchar_t>(u - 0x20);
    }
    if (u == 0xFF) {
        return static_cast<wchar_t>(0x178);
    }
    if (u == 0x3C2) { // final sigma
        return static_cast<wchar_t>(0x3A3);
    }
    if (u >= 0x450 && u <= 0x45F) {
        return static_cast<wchar_t>(u - 0x50);
    }
    // Latin Extended-A and the Romanian comma letters pair an upper-case
    // letter with the lower-case one that follows it.
    if (lowerOfPair(0x101, 0x12F, 1) || lowerOfPair(0x133, 0x137, 1) ||
        lowerOfPair(0x13A, 0x148, 0) || lowerOfPair(0x14B, 0x177, 1) ||
        lowerOfPair(0x17A, 0x17E, 0) || lowerOfPair(0x219, 0x21B, 1)) {
        return static_cast<wchar_t>(u - 1);
    }
    return c;
}

} // namespace

bool equalIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperCase(a[i]) != upperCase(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace tw
