#include "install/path_rules.h"

#include "support/path_text.h"

namespace {

constexpr std::wstring_view rootElement = L"\\";
constexpr std::wstring_view uncRootElement = L"\\\\";

} // namespace

std::vector<std::wstring_view> PathElements(std::wstring_view path) {
    std::vector<std::wstring_view> elements;
    if (tw::hasDrivePrefix(path)) {
        elements.push_back(path.substr(0, 2));
        path.remove_prefix(2);
    }
    std::size_t separators = 0;
    while (separators < path.size() && tw::isPathSeparator(path[separators])) {
        ++separators;
    }
    if (separators > 0) {
        const bool unc = separators >= 2 && elements.empty();
        elements.push_back(unc ? uncRootElement : rootElement);
        path.remove_prefix(separators);
    }
    while (!path.empty()) {
        std::size_t length = 0;
        while (length < path.size() && !tw::isPathSeparator(path[length])) {
            ++length;
        }
        elements.push_back(path.substr(0, length));
        path.remove_prefix(length);
        if (path.empty()) {
            break;
        }
        while (!path.empty() && tw::isPathSeparator(path.front())) {
            path.remove_prefix(1);
        }
        if (path.empty()) {
            elements.push_back({});
        }
    }
    return elements;
}

bool SameElements(std::wstring_view a, std::wstring_view b, const ElementEquality& equal) {
    const auto left = PathElements(a);
    const auto right = PathElements(b);
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (!equal(left[i], right[i])) {
            return false;
        }
    }
    return true;
}

bool SameElementsExactly(std::wstring_view a, std::wstring_view b) {
    return SameElements(a, b, [](std::wstring_view x, std::wstring_view y) { return x == y; });
}

bool IsDriveAbsolute(std::wstring_view path) {
    return tw::hasDrivePrefix(path) && path.size() >= 3 && path[2] == L'\\';
}

bool IsAbsoluteFolder(std::wstring_view path) {
    return IsDriveAbsolute(path) || (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' &&
                                     !tw::isPathSeparator(path[2]));
}
