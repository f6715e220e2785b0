#pragma once
// Letter case for the tests' own comparisons of paths and names, by the C
// library's towlower: independent of the product's comparisons under test.

#include <algorithm>
#include <cwctype>
#include <string>
#include <string_view>

namespace testing_support {

inline wchar_t lowerCase(wchar_t c) {
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

inline std::wstring lowerCase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return lowerCase(c); });
    return text;
}

// Equal but for letter case, character by character.
inline bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return lowerCase(x) == lowerCase(y); });
}

} // namespace testing_support
