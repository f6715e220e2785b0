#include "payload/archive_writer.h"

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
    EXPECT_EQ(recordSize({name, L"", 0, 0, 0}), 28u);
}

// A value no UTF-16 can hold (only a 32-bit wchar_t carries one) is written as
// one replacement character, and the record size counts it so.
TEST(ArchiveWriter, ValueBeyondUnicodeIsWrittenAsReplacement) {
    if constexpr (sizeof(wchar_t) == 2) {
        GTEST_SKIP() << "a 16-bit wchar_t holds no value beyond U+FFFF";
    } else {
        const std::wstring name = std::wstring(L"a") + static_cast<wchar_t>(0x110000);
        const ArchiveEntry entry{name, L"", 0, 0, 0};
        EXPECT_EQ(recordSize(entry), 28u);
        const std::string archive = writeArchive({entry}, {""});
        ASSERT_EQ(archive.size(), 12u + 28u);
        EXPECT_EQ(archive.substr(12, 8), bytes({2, 0, 0, 0, 0x61, 0, 0xFD, 0xFF}));
    }
}

} // namespace
