#include "support/utf16.h"

#include <cstdint>

namespace tw {

namespace {

constexpr bool wideIsUtf16 = sizeof(wchar_t) == 2;
constexpr std::uint32_t lastBasicPoint = 0xFFFF;
constexpr std::uint32_t lastCodePoint = 0x10FFFF;
constexpr std::uint32_t replacementCharacter = 0xFFFD;

bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800u && unit <= 0xDBFFu;
}

bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00u && unit <= 0xDFFFu;
}

// Hands each UTF-16 code unit of the text to put, in order.
template <typename Put>
void encode(std::wstring_view text, Put&& put) {
    for (const wchar_t c : text) {
        const auto point = static_cast<std::uint32_t>(c);
        if (point <= lastBasicPoint) {
            put(point);
        } else if (point <= lastCodePoint) {
            const std::uint32_t offset = point - 0x10000u;
            put(0xD800u + (offset >> 10));
            put(0xDC00u + (offset & 0x3FFu));
        } else {
            put(replacementCharacter);
        }
    }
}

// The wide text of count code units, unitAt(i) giving the i-th.
template <typename UnitAt>
std::wstring decode(std::size_t count, UnitAt&& unitAt) {
    std::wstring text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t unit = unitAt(i);
        if (!wideIsUtf16 && isHighSurrogate(unit) && i + 1 < count &&
            isLowSurrogate(unitAt(i + 1))) {
            unit = 0x10000u + ((unit - 0xD800u) << 10) + (unitAt(i + 1) - 0xDC00u);
            ++i;
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

} // namespace

std::size_t utf16Length(std::wstring_view text) {
    std::size_t units = 0;
    encode(text, [&units](std::uint32_t) { ++units; });
    return units;
}

void appendUtf16(std::u16string& out, std::wstring_view text) {
    encode(text, [&out](std::uint32_t unit) { out.push_back(static_cast<char16_t>(unit)); });
}

void appendUtf16le(std::string& out, std::wstring_view text) {
    encode(text, [&out](std::uint32_t unit) {
        out.push_back(static_cast<char>(unit & 0xFFu));
        out.push_back(static_cast<char>(unit >> 8));
    });
}

std::wstring fromUtf16(std::u16string_view units) {
    return decode(units.size(), [units](std::size_t i) { return std::uint32_t{units[i]}; });
}

std::wstring decodeUtf16le(const char* bytes, std::size_t units) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return decode(units, [b](std::size_t i) {
        return static_cast<std::uint32_t>(b[2 * i]) |
               (static_cast<std::uint32_t>(b[2 * i + 1]) << 8);
    });
}

} // namespace tw
