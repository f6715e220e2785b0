#include "install/path_rules.h"

#include "support/path_text.h"

bool sameElements(std::wstring_view a, std::wstring_view b, const ElementEquality& equal) {
    const auto left = tw::pathElements(a);
    const auto right = tw::pathElements(b);
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

bool sameElementsExactly(std::wstring_view a, std::wstring_view b) {
    return sameElements(a, b, [](std::wstring_view x, std::wstring_view y) { return x == y; });
}

bool isDriveAbsolute(std::wstring_view path) {
    return tw::hasDrivePrefix(path) && path.size() >= 3 && path[2] == L'\\';
}

bool isAbsoluteFolder(std::wstring_view path) {
    return isDriveAbsolute(path) || (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' &&
                                     !tw::isPathSeparator(path[2]));
}
