#include "support/path_text.h"

#include <cstdint>

namespace tw {

std::wstring parentPath(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? std::wstring()
                                                : std::wstring(path.substr(0, separator));
}

std::vector<std::wstring_view> pathElements(std::wstring_view path) {
    std::vector<std::wstring_view> elements;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !isPathSeparator(path[end])) {
            ++end;
        }
        if (end > start) {
            elements.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return elements;
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
