#include "payload/archive_extractor.h"

#include "payload/archive_writer.h"
#include "payload/compress_error.h"

#include "memory_target.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace payload;

using testing_support::MemoryTarget;

const std::wstring installFolder = L"inst";
const std::wstring sep(1, pathSeparator);

std::wstring installed(const std::wstring& name) {
    return installFolder + sep + name;
}

std::string workedExample() {
    return writeArchive({{L"a.txt", L"<InstallPath>", MainProgram, 0, 0}}, {"abc"});
}

std::string threeFiles() {
    return writeArchive({{L"C:\\build\\one.bin", L"<InstallPath>", LanguageModule, 0, 0},
                         {L"C:\\build\\two.bin", L"<InstallPath>\\Lang", LanguageModule, 0, 0},
                         {L"three.bin", L"<InstallPath>", MainProgram, 0, 0}},
                        {std::string(5000, 'x'), "second", std::string(9000, 'z')});
}

std::error_code failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        return errorCodeOf(std::current_exception());
    }
    return {};
}

class ArchiveReader : public testing::Test {
protected:
    MemoryTarget target;
    std::vector<std::wstring> events;
    std::vector<std::uint64_t> progress;
    notification::result answer = notification::result::proceed;
    std::wstring skipped; // the destination whose entry is skipped
    ArchiveExtractor extractor{
        BaseFolders{installFolder, L"", L""},
        [this](notification n) {
            if (const auto* p = std::get_if<notification::progress>(&n.value)) {
                progress.push_back(p->position);
            } else if (const auto* b = std::get_if<notification::entry_begin>(&n.value)) {
                events.push_back(L"begin " + b->entry.get().destination);
                if (b->entry.get().destination == skipped) {
                    return notification::result::skip;
                }
            } else if (const auto* e = std::get_if<notification::entry_end>(&n.value)) {
                events.push_back(L"end " + e->entry.get().destination);
            }
            return answer;
        },
        target};

    // Offers the archive in pieces of the given sizes (the last one repeated),
    // each piece again until it is consumed, as the decompression chain does.
    void feed(const std::string& archive, std::vector<std::size_t> pieces = {4096}) {
        std::size_t offset = 0;
        std::size_t piece = 0;
        while (offset < archive.size()) {
            const std::size_t size =
                std::min(pieces[std::min(piece, pieces.size() - 1)], archive.size() - offset);
            ++piece;
            std::size_t done = 0;
            while (done < size) {
                done += static_cast<std::size_t>(
                    extractor.write(archive.data() + offset + done, size - done));
            }
            offset += size;
        }
        extractor.finish();
    }
};

TEST_F(ArchiveReader, WorkedExampleReadsBack) {
    const std::string archive = workedExample();
    EXPECT_EQ(extractor.write(archive.data(), archive.size()), 8u);
    EXPECT_EQ(extractor.write(archive.data() + 8, archive.size() - 8), 64u);
    EXPECT_EQ(extractor.write(archive.data() + 72, 3), 3u);
    ASSERT_EQ(extractor.entries().size(), 1u);
    const ArchiveEntry& entry = extractor.entries()[0];
    EXPECT_EQ(entry.source, L"a.txt");
    EXPECT_EQ(entry.destination, installed(L"a.txt"));
    EXPECT_EQ(entry.kind, MainProgram);
    EXPECT_EQ(entry.size, 3u);
    EXPECT_EQ(entry.crc, 0x352441C2u);
    EXPECT_EQ(target.files[installed(L"a.txt")], "abc");
    EXPECT_EQ(extractor.total(), 75u);
    EXPECT_TRUE(extractor.complete());
    EXPECT_EQ(progress, (std::vector<std::uint64_t>{72, 75}));
}

TEST_F(ArchiveReader, DataOffsetSplitAcrossTwoWrites) {
    const std::string archive = threeFiles();
    std::string first(archive, 0, 3);
    std::string second(archive, 3, 4093);
    EXPECT_EQ(extractor.write(first.data(), 3), 3u);
    EXPECT_EQ(extractor.write(second.data(), second.size()), 5u);
    const std::uint64_t header =
        recordSize(ArchiveEntry{L"C:\\build\\one.bin", L"<InstallPath>"}) +
        recordSize(ArchiveEntry{L"C:\\build\\two.bin", L"<InstallPath>\\Lang"}) +
        recordSize(ArchiveEntry{L"three.bin", L"<InstallPath>"}) + 12;
    EXPECT_EQ(extractor.write(second.data() + 5, second.size() - 5), header - 8);
    EXPECT_EQ(extractor.entries().size(), 3u);
}

TEST_F(ArchiveReader, HeaderCompletesOnlyWithItsLastByte) {
    const std::string archive = threeFiles();
    const std::uint64_t dataOffset =
        static_cast<unsigned char>(archive[0]) | (static_cast<unsigned char>(archive[1]) << 8);
    for (std::uint64_t i = 0; i + 1 < dataOffset; ++i) {
        ASSERT_EQ(extractor.write(archive.data() + i, 1), 1u);
        ASSERT_TRUE(extractor.entries().empty());
    }
    EXPECT_EQ(extractor.position(), 0u);
    EXPECT_EQ(extractor.write(archive.data() + dataOffset - 1, archive.size()), 1u);
    EXPECT_EQ(extractor.entries().size(), 3u);
    EXPECT_EQ(extractor.position(), dataOffset);
}

struct Split {
    const char* name;
    std::vector<std::size_t> pieces;
};

class ArchiveReaderSplits : public ArchiveReader, public testing::WithParamInterface<Split> {};

TEST_P(ArchiveReaderSplits, GiveTheSameFiles) {
    feed(threeFiles(), GetParam().pieces);
    EXPECT_TRUE(extractor.complete());
    EXPECT_EQ(target.files[installed(L"one.bin")], std::string(5000, 'x'));
    EXPECT_EQ(target.files[installed(L"Lang" + sep + L"two.bin")], "second");
    EXPECT_EQ(target.files[installed(L"three.bin")], std::string(9000, 'z'));
    EXPECT_EQ(events.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Pieces, ArchiveReaderSplits,
                         testing::Values(Split{"Whole", {1u << 20}}, Split{"Chunks4096", {4096}},
                                         Split{"ThreeThen4093", {3, 4093}}, Split{"Bytes", {1}},
                                         Split{"Sevens", {7}},
                                         Split{"HeaderAndContentsTogether", {150, 4096}}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_F(ArchiveReader, ContentsInTheWriteThatEndsTheHeaderWaitForTheNextCall) {
    const std::string archive = workedExample();
    ASSERT_EQ(extractor.write(archive.data(), 8), 8u);
    EXPECT_EQ(extractor.write(archive.data() + 8, 67), 64u);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(extractor.write(archive.data() + 72, 3), 3u);
    EXPECT_TRUE(extractor.complete());
}

TEST_F(ArchiveReader, OneByteTooManyIsError7) {
    const std::string archive = workedExample() + "!";
    EXPECT_EQ(failureOf([&] { feed(archive); }), make_error_code(compress_errc::unexpected));
    EXPECT_TRUE(extractor.failed());
    // Once failed, every byte is swallowed.
    EXPECT_EQ(extractor.write("more", 4), 4u);
}

TEST_F(ArchiveReader, OneByteTooFewIsIncomplete) {
    const std::string archive = workedExample();
    feed(archive.substr(0, archive.size() - 1));
    EXPECT_FALSE(extractor.complete());
    EXPECT_EQ(extractor.position(), 74u);
}

TEST_F(ArchiveReader, ZeroEntriesCompleteAfterTwelveBytes) {
    feed(writeArchive({}, {}));
    EXPECT_TRUE(extractor.complete());
    EXPECT_EQ(extractor.total(), 12u);
    EXPECT_EQ(failureOf([&] { extractor.write("x", 1); }),
              make_error_code(compress_errc::unexpected));
}

TEST_F(ArchiveReader, EmptyEntriesAreBegunAndEndedAlsoWhenLast) {
    feed(writeArchive({{L"empty1", L"<InstallPath>", 0, 0, 0},
                       {L"full", L"<InstallPath>", 0, 0, 0},
                       {L"empty2", L"<InstallPath>", 0, 0, 0},
                       {L"empty3", L"<InstallPath>", 0, 0, 0}},
                      {"", "data", "", ""}));
    EXPECT_TRUE(extractor.complete());
    EXPECT_EQ(events, (std::vector<std::wstring>{
                          L"begin " + installed(L"empty1"), L"end " + installed(L"empty1"),
                          L"begin " + installed(L"full"), L"end " + installed(L"full"),
                          L"begin " + installed(L"empty2"), L"end " + installed(L"empty2"),
                          L"begin " + installed(L"empty3"), L"end " + installed(L"empty3")}));
    EXPECT_EQ(target.files.count(installed(L"empty3")), 1u);
}

TEST_F(ArchiveReader, AbortAtTheHeaderIsInterrupted) {
    answer = notification::result::abort;
    EXPECT_EQ(failureOf([&] { feed(workedExample()); }),
              make_error_code(compress_errc::interrupted));
    EXPECT_TRUE(events.empty());
}

std::string withLittleEndian(std::string archive, std::size_t offset, std::uint64_t value,
                             int size) {
    for (int i = 0; i < size; ++i) {
        archive[offset + static_cast<std::size_t>(i)] =
            static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return archive;
}

struct Malformed {
    const char* name;
    std::string archive;
};

class MalformedArchive : public ArchiveReader, public testing::WithParamInterface<Malformed> {};

TEST_P(MalformedArchive, IsError7BeforeAnyFile) {
    EXPECT_EQ(failureOf([&] { feed(GetParam().archive); }),
              make_error_code(compress_errc::unexpected));
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(extractor.failed());
}

std::string archiveNamed(const std::wstring& source) {
    return writeArchive(
        {{L"good.txt", L"<InstallPath>", 0, 0, 0}, {source, L"<InstallPath>", 0, 0, 0}},
        {"1", "2"});
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MalformedArchive,
    testing::Values(
        Malformed{"DataOffsetZero", withLittleEndian(workedExample(), 0, 0, 8)},
        Malformed{"DataOffsetEleven", withLittleEndian(workedExample(), 0, 11, 8)},
        Malformed{"DataOffsetAt2To32", withLittleEndian(workedExample(), 0, 1ull << 32, 8)},
        Malformed{"CountBeyondTable", withLittleEndian(workedExample(), 8, 2, 4)},
        Malformed{"HugeCount", withLittleEndian(workedExample(), 8, 0xFFFFFFFF, 4)},
        Malformed{"SourceRunsPastHeader", withLittleEndian(workedExample(), 12, 40, 4)},
        Malformed{"DestinationRunsPastHeader",
                  withLittleEndian(workedExample(), 26, 0x7FFFFFFF, 4)},
        Malformed{"TableShorterThanDataOffset",
                  withLittleEndian(writeArchive({}, {}), 0, 13, 8) + "xy"},
        Malformed{"TableLongerThanDataOffset", withLittleEndian(workedExample(), 0, 71, 8)},
        Malformed{"SizesOverflow",
                  withLittleEndian(writeArchive({{L"a", L"x", 0, 0, 0}, {L"b", L"x", 0, 0, 0}},
                                                {"1", "2"}),
                                   12 + 4 + 2 + 4 + 2 + 4, 0xFFFFFFFFFFFFFFFFull, 8)}),
    [](const auto& c) { return std::string(c.param.name); });

INSTANTIATE_TEST_SUITE_P(
    UnsafeFileNames, MalformedArchive,
    testing::Values(Malformed{"Empty", archiveNamed(L"")},
                    Malformed{"TrailingSeparator", archiveNamed(L"C:\\build\\")},
                    Malformed{"Dot", archiveNamed(L"C:\\build\\.")},
                    Malformed{"DotDot", archiveNamed(L"..")},
                    Malformed{"DriveOnly", archiveNamed(L"C:")},
                    Malformed{"Stream", archiveNamed(L"file.txt:hidden")},
                    Malformed{"Wildcard", archiveNamed(L"a*.txt")},
                    Malformed{"Question", archiveNamed(L"a?.txt")},
                    Malformed{"Quote", archiveNamed(L"a\".txt")},
                    Malformed{"Angle", archiveNamed(L"a<b")},
                    Malformed{"Pipe", archiveNamed(L"a|b")},
                    Malformed{"Control", archiveNamed(std::wstring(L"a\x01") + L"b")},
                    Malformed{"DeviceCon", archiveNamed(L"CON")},
                    Malformed{"DeviceNulWithExtension", archiveNamed(L"nul.txt")},
                    Malformed{"DeviceLpt1", archiveNamed(L"C:\\x\\Lpt1.dll")}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(DataOffset, IsReadLittleEndianFromTheFirstEightBytes) {
    EXPECT_EQ(readDataOffset(std::string("\x48\0\0\0\0\0\0\0", 8)), 0x48u);
    EXPECT_EQ(readDataOffset(std::string("\x01\x02\x03\x04\x05\x06\x07\x08\xFF", 9)),
              0x0807060504030201u);
    EXPECT_EQ(failureOf([] { readDataOffset(std::string(7, '\0')); }),
              make_error_code(compress_errc::unexpected));
}

TEST(DataOffset, IsValidFromTheFixedHeaderToBelowFourGiB) {
    EXPECT_FALSE(isValidDataOffset(0));
    EXPECT_FALSE(isValidDataOffset(archiveHeaderFixedSize - 1));
    EXPECT_TRUE(isValidDataOffset(archiveHeaderFixedSize));
    EXPECT_TRUE(isValidDataOffset((std::uint64_t{1} << 32) - 1));
    EXPECT_FALSE(isValidDataOffset(std::uint64_t{1} << 32));
}

// Per-entry processing, on files kept in memory.

TEST_F(ArchiveReader, EveryFileIsPreparedGrantedCreatedAndVerified) {
    feed(threeFiles());
    EXPECT_EQ(target.prepared, (std::vector<std::wstring>{installed(L"one.bin"),
                                                          installed(L"Lang" + sep + L"two.bin"),
                                                          installed(L"three.bin")}));
    EXPECT_EQ(target.grantedFolders,
              (std::vector<std::wstring>{installFolder, installed(L"Lang"), installFolder}));
    EXPECT_EQ(target.waits, 0);
}

TEST_F(ArchiveReader, SkippedEntryAdvancesWithProgressButWithoutFileOrEnd) {
    skipped = installed(L"one.bin");
    feed(threeFiles(), {1000});
    EXPECT_TRUE(extractor.complete());
    EXPECT_EQ(target.files.count(installed(L"one.bin")), 0u);
    EXPECT_EQ(target.prepared.size(), 2u);
    EXPECT_EQ(events.front(), L"begin " + installed(L"one.bin"));
    EXPECT_EQ(std::count(events.begin(), events.end(), L"end " + installed(L"one.bin")), 0);
    EXPECT_EQ(events.size(), 5u);
    // Progress after the header, then through the skipped entry's bytes.
    const std::uint64_t dataOffset = extractor.total() - 5000 - 6 - 9000;
    ASSERT_GE(progress.size(), 7u);
    EXPECT_EQ(progress[0], dataOffset);
    EXPECT_EQ(progress[1], 1000u);
    EXPECT_EQ(progress[6], dataOffset + 5000);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), extractor.total());
}

TEST_F(ArchiveReader, AbortAtEntryBeginIsInterruptedWithoutFile) {
    feed(workedExample().substr(0, 72));
    answer = notification::result::abort;
    EXPECT_EQ(failureOf([&] { extractor.write("abc", 3); }),
              make_error_code(compress_errc::interrupted));
    EXPECT_TRUE(target.files.empty());
    EXPECT_EQ(extractor.failureText(), L"");
}

TEST_F(ArchiveReader, AbortDuringAnEntryNamesItsFile) {
    const std::string archive = threeFiles();
    feed(archive.substr(0, archive.size() - 9000 - 6 - 100));
    answer = notification::result::abort;
    EXPECT_EQ(failureOf([&] { extractor.write(archive.data() + archive.size() - 9006 - 100, 50); }),
              make_error_code(compress_errc::interrupted));
    EXPECT_EQ(extractor.failureText(), installed(L"one.bin"));
}

TEST_F(ArchiveReader, FailedReaderSwallowsTheRestSilently) {
    const std::string archive = threeFiles();
    target.unopenable.insert(installed(L"Lang" + sep + L"two.bin"));
    EXPECT_EQ(failureOf([&] { feed(archive); }), std::error_code(std::io_errc::stream));
    const std::size_t seen = events.size() + progress.size();
    EXPECT_EQ(extractor.write(archive.data(), archive.size()), archive.size());
    extractor.finish();
    EXPECT_EQ(events.size() + progress.size(), seen);
    EXPECT_EQ(target.files.count(installed(L"three.bin")), 0u);
    EXPECT_EQ(extractor.failureText(), L""); // the file was never open
}

TEST_F(ArchiveReader, CrcDifferingByOneBitIsError3AfterTheWholeFile) {
    target.flipOnDisk.insert(installed(L"three.bin"));
    EXPECT_EQ(failureOf([&] { feed(threeFiles()); }),
              make_error_code(compress_errc::invalid_checksum));
    EXPECT_EQ(target.files[installed(L"three.bin")], std::string(9000, 'z'));
    EXPECT_EQ(extractor.failureText(), installed(L"three.bin"));
    EXPECT_EQ(events.back(), L"begin " + installed(L"three.bin"));
}

TEST_F(ArchiveReader, SharingViolationsAreWaitedOutThreeTimes) {
    target.busy[installed(L"a.txt")] = 3;
    feed(workedExample());
    EXPECT_TRUE(extractor.complete());
    EXPECT_EQ(target.waits, 3);
    EXPECT_EQ(events.back(), L"end " + installed(L"a.txt"));
}

TEST_F(ArchiveReader, AFourthSharingViolationIsRaised) {
    target.busy[installed(L"a.txt")] = 4;
    EXPECT_EQ(failureOf([&] { feed(workedExample()); }),
              std::error_code(sharingViolation, std::system_category()));
    EXPECT_EQ(target.waits, 3);
    EXPECT_EQ(extractor.failureText(), installed(L"a.txt"));
}

TEST(SafeFileName, OrdinaryNamesPass) {
    for (const wchar_t* name :
         {L"Kelvane.exe", L"Kelvane.fr.dll", L"Getting Started.kvd", L".hidden", L"CONSOLE.txt",
          L"com0", L"lpt10", L"\u00e9t\u00e9.txt"}) {
        EXPECT_TRUE(isSafeFileName(name)) << std::wstring(name).size();
    }
}

} // namespace
