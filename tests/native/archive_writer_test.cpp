#include "payload/archive_writer.h"

#include "payload/utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace payload;

std::string bytes(std::initializer_list<unsigned> values) {
    std::string out;
    for (const unsigned v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

std::string utf16(const std::string& ascii) {
    std::string out;
    for (const char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

TEST(ArchiveWriter, WorkedExampleByteForByte) {
    const std::string archive =
        writeArchive({{L"a.txt", L"<InstallPath>", MainProgram, 0, 0}}, {"abc"});
    std::string expected = bytes({0x48, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0});
    expected += utf16("a.txt");
    expected += bytes({0x0D, 0, 0, 0});
    expected += utf16("<InstallPath>");
    expected += bytes({1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0xC2, 0x41, 0x24, 0x35});
    expected += "abc";
    ASSERT_EQ(archive.size(), 75u);
    EXPECT_EQ(archive, expected);
}

TEST(ArchiveWriter, ZeroEntriesIsTwelveBytes) {
    EXPECT_EQ(writeArchive({}, {}), bytes({12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ArchiveWriter, RecordSizeCountsCodeUnits) {
    EXPECT_EQ(recordSize({L"a.txt", L"<InstallPath>", 1, 3, 0}), 60u);
    // U+1F600 takes two UTF-16 code units, whatever the width of wchar_t.
    const std::wstring smiley(1, static_cast<wchar_t>(sizeof(wchar_t) == 2 ? 0xD83D : 0x1F600));
    const std::wstring name = sizeof(wchar_t) == 2 ? smiley + L"\xDE00" : smiley;
    EXPECT_EQ(utf16Length(name), 2u);
    EXPECT_EQ(recordSize({name, L"", 0, 0, 0}), 28u);
}

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

} // namespace
