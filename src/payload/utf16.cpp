#include "payload/utf16.h"

namespace payload {

namespace {

constexpr bool wideIsUtf16 = sizeof(wchar_t) == 2;

// Beyond the Basic Multilingual Plane: two UTF-16 code units. (A function, so
// that where wchar_t is 16 bits wide the test is not flagged as always false.)
bool isSupplementary(std::uint32_t point) {
    return point > 0xFFFFu;
}

void appendUnit(std::string& out, std::uint32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFFu));
    out.push_back(static_cast<char>((unit >> 8) & 0xFFu));
}

std::uint32_t unitAt(const char* bytes, std::size_t index) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes) + 2 * index;
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8);
}

} // namespace

std::size_t utf16Length(const std::wstring& text) {
    if constexpr (wideIsUtf16) {
        return text.size();
    }
    std::size_t units = 0;
    for (const wchar_t c : text) {
        units += isSupplementary(static_cast<std::uint32_t>(c)) ? 2 : 1;
    }
    return units;
}

void appendUtf16le(std::string& out, const std::wstring& text) {
    for (const wchar_t c : text) {
        const auto point = static_cast<std::uint32_t>(c);
        if (!wideIsUtf16 && isSupplementary(point)) {
            const std::uint32_t offset = point - 0x10000u;
            appendUnit(out, 0xD800u + (offset >> 10));
            appendUnit(out, 0xDC00u + (offset & 0x3FFu));
        } else {
            appendUnit(out, point);
        }
    }
}

std::wstring decodeUtf16le(const char* bytes, std::size_t units) {
    std::wstring text;
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = unitAt(bytes, i);
        if (!wideIsUtf16 && unit >= 0xD800u && unit <= 0xDBFFu && i + 1 < units) {
            const std::uint32_t low = unitAt(bytes, i + 1);
            if (low >= 0xDC00u && low <= 0xDFFFu) {
                text.push_back(
                    static_cast<wchar_t>(0x10000u + ((unit - 0xD800u) << 10) + (low - 0xDC00u)));
                ++i;
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

} // namespace payload
