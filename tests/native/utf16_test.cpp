#include "support/utf16.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace tw;

constexpr bool wideIsUtf16 = sizeof(wchar_t) == 2;

std::string bytes(std::initializer_list<unsigned> values) {
    std::string out;
    for (const unsigned v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

// The wide text of UTF-16 code units as this platform holds it: the units
// themselves where wchar_t is 16 bits, else pairs joined into code points.
std::wstring wide(std::initializer_list<std::uint32_t> wideUnits,
                  std::initializer_list<std::uint32_t> narrowUnits) {
    std::wstring text;
    for (const std::uint32_t c : wideIsUtf16 ? narrowUnits : wideUnits) {
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

struct CodecCase {
    const char* name;
    std::wstring text;
    std::u16string units;
};

void PrintTo(const CodecCase& param, std::ostream* out) {
    *out << param.name;
}

class Utf16Codec : public testing::TestWithParam<CodecCase> {};

// Both encodings give the same code units, the length counts them, and both
// decodings give the text back.
TEST_P(Utf16Codec, EncodesAndDecodesAlike) {
    const CodecCase& c = GetParam();
    std::u16string units;
    appendUtf16(units, c.text);
    EXPECT_EQ(units, c.units);
    EXPECT_EQ(utf16Length(c.text), c.units.size());

    std::string le;
    appendUtf16le(le, c.text);
    ASSERT_EQ(le.size(), 2 * c.units.size());
    for (std::size_t i = 0; i < c.units.size(); ++i) {
        EXPECT_EQ(static_cast<unsigned char>(le[2 * i]), c.units[i] & 0xFF) << i;
        EXPECT_EQ(static_cast<unsigned char>(le[2 * i + 1]), c.units[i] >> 8) << i;
    }

    EXPECT_EQ(fromUtf16(c.units), c.text);
    EXPECT_EQ(decodeUtf16le(le.data(), c.units.size()), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16Codec,
    testing::Values(CodecCase{"Empty", L"", u""}, CodecCase{"Ascii", L"C:\\a.txt", u"C:\\a.txt"},
                    CodecCase{"BasicPlane", L"\u00E9\u4E0A\uFFFF", u"\u00E9\u4E0A\uFFFF"},
                    CodecCase{"FirstSupplementary", wide({0x10000}, {0xD800, 0xDC00}),
                              u"\xD800\xDC00"},
                    CodecCase{"Smiley", wide({L'x', 0x1F600, L'y'}, {L'x', 0xD83D, 0xDE00, L'y'}),
                              u"x\xD83D\xDE00y"},
                    CodecCase{"LastCodePoint", wide({0x10FFFF}, {0xDBFF, 0xDFFF}), u"\xDBFF\xDFFF"},
                    CodecCase{"LoneHighAtEnd", wide({L'a', 0xD83D}, {L'a', 0xD83D}), u"a\xD83D"},
                    CodecCase{"LoneLowFirst", wide({0xDE00, L'a'}, {0xDE00, L'a'}), u"\xDE00\x61"},
                    CodecCase{"HighThenHigh", wide({0xD800, 0x1F600}, {0xD800, 0xD83D, 0xDE00}),
                              u"\xD800\xD83D\xDE00"},
                    CodecCase{"LowThenHighIsNoPair", wide({0xDC00, 0xD800}, {0xDC00, 0xD800}),
                              u"\xDC00\xD800"}),
    [](const testing::TestParamInfo<CodecCase>& param) { return std::string(param.param.name); });

TEST(Utf16, SurrogatePairsRoundTrip) {
    const std::string encoded = bytes({0x3D, 0xD8, 0x00, 0xDE, 0x41, 0x00});
    const std::wstring decoded = decodeUtf16le(encoded.data(), 3);
    if constexpr (sizeof(wchar_t) == 4) {
        ASSERT_EQ(decoded.size(), 2u);
        EXPECT_EQ(static_cast<std::uint32_t>(decoded[0]), 0x1F600u);
    } else {
        ASSERT_EQ(decoded.size(), 3u);
    }
    std::string again;
    appendUtf16le(again, decoded);
    EXPECT_EQ(again, encoded);
}

TEST(Utf16, UnpairedSurrogateIsKept) {
    const std::string encoded = bytes({0x3D, 0xD8, 0x41, 0x00, 0x00, 0xDC});
    const std::wstring decoded = decodeUtf16le(encoded.data(), 3);
    ASSERT_EQ(decoded.size(), 3u);
    std::string again;
    appendUtf16le(again, decoded);
    EXPECT_EQ(again, encoded);
}

TEST(Utf16, LengthCountsCodeUnits) {
    // U+1F600 takes two UTF-16 code units, whatever the width of wchar_t.
    const std::wstring smiley(1, static_cast<wchar_t>(sizeof(wchar_t) == 2 ? 0xD83D : 0x1F600));
    const std::wstring name = sizeof(wchar_t) == 2 ? smiley + L"\xDE00" : smiley;
    EXPECT_EQ(utf16Length(name), 2u);
}

// Only a 32-bit wchar_t can hold a value that no UTF-16 can: it becomes one
// replacement character, never half a pair, and its length says so.
TEST(Utf16, BeyondTheLastCodePointIsReplaced) {
    if constexpr (wideIsUtf16) {
        GTEST_SKIP() << "a 16-bit wchar_t holds no value beyond U+FFFF";
    } else {
        std::wstring text = L"a";
        text.push_back(static_cast<wchar_t>(0x110000));
        text.push_back(static_cast<wchar_t>(0x7FFFFFFF));
        text.push_back(static_cast<wchar_t>(-1));
        text += L"b";
        std::u16string units;
        appendUtf16(units, text);
        EXPECT_EQ(units, u"a\uFFFD\uFFFD\uFFFDb");
        EXPECT_EQ(utf16Length(text), 5u);
        std::string le;
        appendUtf16le(le, text);
        EXPECT_EQ(le, bytes({0x61, 0, 0xFD, 0xFF, 0xFD, 0xFF, 0xFD, 0xFF, 0x62, 0}));
    }
}

} // namespace
