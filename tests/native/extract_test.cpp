// The extraction driver over real files: the native target writes into a
// scratch folder.
#include "payload/extract.h"

#include "payload/archive_writer.h"
#include "payload/compress_error.h"
#include "payload/native_target.h"

#include "file_contents.h"
#include "memory_target.h"
#include "scratch_path.h"
#include "test_data.h"

#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/stream.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;
namespace io = boost::iostreams;
using namespace payload;
using testing_support::compress;
using testing_support::fileContents;
using testing_support::pattern;
using testing_support::writeFile;

class Extract : public testing::Test {
protected:
    fs::path root = testing_support::scratchPath("kv-extract-");
    NativeTarget target{[this](int csidl) {
        return csidl == csidl::commonAppData ? (root / "common").wstring() : std::wstring();
    }};
    std::vector<std::size_t> kinds; // the index of every notification, in order
    std::vector<notification> failures;
    notification::finished finished;
    std::wstring skipped;
    bool abortAtBegin = false;

    void SetUp() override { fs::remove_all(root), fs::create_directories(root); }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(root, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(root, ignored);
    }

    BaseFolders folders() const {
        return {(root / "install").wstring(), (root / "samples").wstring(), L""};
    }

    bool run(const std::string& compressed) {
        std::istringstream source(compressed);
        return extract(
            source, folders(),
            [this](notification n) {
                kinds.push_back(n.value.index());
                if (const auto* f = std::get_if<notification::finished>(&n.value)) {
                    finished = *f;
                }
                if (std::holds_alternative<notification::failed>(n.value)) {
                    failures.push_back(n);
                }
                if (const auto* b = std::get_if<notification::entry_begin>(&n.value)) {
                    if (abortAtBegin) {
                        return notification::result::abort;
                    }
                    if (b->entry.get().destination == skipped) {
                        return notification::result::skip;
                    }
                }
                return notification::result::proceed;
            },
            target);
    }

    std::error_code failure() const {
        return failures.empty() ? std::error_code()
                                : std::get<notification::failed>(failures[0].value).code;
    }
    std::wstring failureText() const {
        return failures.empty() ? L"" : std::get<notification::failed>(failures[0].value).text;
    }
};

std::string twoFiles() {
    return writeArchive({{L"C:\\b\\data.bin", L"<InstallPath>\\Lang", LanguageModule, 0, 0},
                         {L"Kelvane.exe", L"<InstallPath>", MainProgram, 0, 0}},
                        {pattern(10000, 1), pattern(20000, 2)});
}

TEST_F(Extract, WritesEveryFileAndReportsInOrder) {
    const std::string compressed = compress(twoFiles());
    ASSERT_TRUE(run(compressed));
    EXPECT_EQ(fileContents(root / "install" / "Lang" / "data.bin"), pattern(10000, 1));
    EXPECT_EQ(fileContents(root / "install" / "Kelvane.exe"), pattern(20000, 2));
    EXPECT_EQ(finished.copied, compressed.size());
    EXPECT_EQ(finished.total, twoFiles().size());
    // started, progress after the header, then per entry begin, progress..., end, finally finished.
    ASSERT_GE(kinds.size(), 8u);
    EXPECT_EQ(kinds.front(), 0u);
    EXPECT_EQ(kinds[1], 4u);
    EXPECT_EQ(kinds[2], 2u);
    EXPECT_EQ(kinds.back(), 1u);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 3u), 2);
    EXPECT_TRUE(failures.empty());
}

TEST_F(Extract, SkippedEntryLeavesNoFile) {
    skipped = (root / "install" / "Lang" / "data.bin").wstring();
    ASSERT_TRUE(run(compress(twoFiles())));
    EXPECT_FALSE(fs::exists(root / "install" / "Lang"));
    EXPECT_TRUE(fs::exists(root / "install" / "Kelvane.exe"));
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 3u), 1);
}

TEST_F(Extract, AbortAtEntryBeginFailsWithError5) {
    abortAtBegin = true;
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(failure(), make_error_code(compress_errc::interrupted));
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(kinds.back(), 5u);
    EXPECT_FALSE(fs::exists(root / "install"));
}

TEST_F(Extract, CrcDifferingByOneBitFailsWithError3AfterTheFileIsWritten) {
    std::string archive = writeArchive({{L"a.bin", L"<InstallPath>", 0, 0, 0}}, {pattern(5000, 3)});
    archive[archive.size() - 5000 - 4] ^= 0x01; // the lowest bit of the entry's CRC-32
    EXPECT_FALSE(run(compress(archive)));
    EXPECT_EQ(failure(), make_error_code(compress_errc::invalid_checksum));
    EXPECT_EQ(fileContents(root / "install" / "a.bin"), pattern(5000, 3));
    EXPECT_EQ(failureText(), (root / "install" / "a.bin").wstring());
}

TEST_F(Extract, ReadOnlyFileIsOverwritten) {
    fs::create_directories(root / "install");
    writeFile(root / "install" / "Kelvane.exe", "old");
    fs::permissions(root / "install" / "Kelvane.exe",
                    fs::perms::owner_read | fs::perms::group_read);
    ASSERT_TRUE(run(compress(twoFiles())));
    EXPECT_EQ(fileContents(root / "install" / "Kelvane.exe"), pattern(20000, 2));
    EXPECT_NE(fs::status(root / "install" / "Kelvane.exe").permissions() & fs::perms::owner_write,
              fs::perms::none);
}

TEST_F(Extract, ThreeMissingFoldersAreCreated) {
    ASSERT_TRUE(
        run(compress(writeArchive({{L"deep.txt", L"<InstallPath>\\a\\b\\c", 0, 0, 0}}, {"deep"}))));
    EXPECT_EQ(fileContents(root / "install" / "a" / "b" / "c" / "deep.txt"), "deep");
}

TEST_F(Extract, ZeroSizeLastEntryIsCreated) {
    ASSERT_TRUE(run(compress(writeArchive(
        {{L"full", L"<InstallPath>", 0, 0, 0}, {L"empty", L"<CommonData>\\Tarnwick", 3, 0, 0}},
        {"x", ""}))));
    EXPECT_TRUE(fs::exists(root / "common" / "Tarnwick" / "empty"));
    EXPECT_EQ(fs::file_size(root / "common" / "Tarnwick" / "empty"), 0u);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 3u), 2);
}

TEST_F(Extract, EmptyArchiveIsComplete) {
    EXPECT_TRUE(run(compress(writeArchive({}, {}))));
    EXPECT_EQ(finished.total, 12u);
}

struct Broken {
    const char* name;
    std::string compressed;
    std::error_code code;
};

class ExtractBroken : public Extract, public testing::WithParamInterface<Broken> {};

TEST_P(ExtractBroken, FailsOnceWithItsCode) {
    EXPECT_FALSE(run(GetParam().compressed));
    EXPECT_EQ(failure(), GetParam().code);
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(kinds.back(), 5u);
}

// A bzip2 stream whose block header is damaged: the decompressor rejects it
// before it yields any byte. (Damage inside a block shows only at the block's
// end, after its bytes have been delivered.)
std::string corrupted(std::string compressed) {
    compressed[5] ^= 0x55;
    return compressed;
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, ExtractBroken,
    testing::Values(Broken{"TruncatedArchive",
                           compress(twoFiles().substr(0, twoFiles().size() - 1)),
                           make_error_code(compress_errc::unexpected)},
                    Broken{"OverlongArchive", compress(twoFiles() + "x"),
                           make_error_code(compress_errc::unexpected)},
                    Broken{"HeaderOnlyInPart", compress(twoFiles().substr(0, 30)),
                           make_error_code(compress_errc::unexpected)},
                    Broken{"CorruptBzip2", corrupted(compress(twoFiles())),
                           make_error_code(compress_errc::bzip2)},
                    Broken{"TruncatedBzip2",
                           compress(twoFiles()).substr(0, compress(twoFiles()).size() - 10),
                           make_error_code(compress_errc::bzip2)},
                    Broken{"NotBzip2", twoFiles(), make_error_code(compress_errc::bzip2)},
                    Broken{"Empty", "", make_error_code(compress_errc::bzip2)},
                    Broken{"MissingShellFolder",
                           compress(writeArchive({{L"a", L"<ProgramFiles>", 0, 0, 0}}, {"a"})),
                           make_error_code(compress_errc::unexpected)}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(Extract, DestinationThatIsAFolderIsAStreamFailure) {
    fs::create_directories(root / "install" / "Kelvane.exe");
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(displayErrorCode(failure()), L"7");
    EXPECT_EQ(failureText(), L"");
}

TEST_F(Extract, FolderThatCannotBeCreatedNamesItself) {
    fs::create_directories(root / "install");
    writeFile(root / "install" / "Lang", "a file in the way");
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(failure(), std::make_error_code(std::errc::not_a_directory));
    EXPECT_EQ(failureText(), (root / "install" / "Lang").wstring());
}

TEST_F(Extract, ObserverFailureOnStartedIsReported) {
    std::istringstream source(compress(twoFiles()));
    std::vector<std::error_code> reported;
    EXPECT_FALSE(extract(
        source, folders(),
        [&](notification n) {
            if (std::holds_alternative<notification::started>(n.value)) {
                raise(compress_errc::unknown);
            }
            if (const auto* f = std::get_if<notification::failed>(&n.value)) {
                reported.push_back(f->code);
                throw std::runtime_error("the observer fails again");
            }
            return notification::result::proceed;
        },
        target));
    EXPECT_EQ(reported, std::vector<std::error_code>{make_error_code(compress_errc::unknown)});
    EXPECT_FALSE(fs::exists(root / "install"));
}

TEST(ExtractRetries, SharingViolationsOnReadBack) {
    testing_support::MemoryTarget memory;
    memory.busy[joinPath(L"C:\\i", L"a.txt")] = 2;
    std::istringstream source(
        compress(writeArchive({{L"a.txt", L"<InstallPath>", 0, 0, 0}}, {"abc"})));
    EXPECT_TRUE(extract(source, {L"C:\\i", L"", L""}, nullptr, memory));
    EXPECT_EQ(memory.waits, 2);
}

TEST(ValidatePayload, ReadsAValidPayloadAndRewindsIt) {
    const std::string compressed = compress(twoFiles());
    io::stream<io::array_source> source(compressed.data(), compressed.size());
    EXPECT_NO_THROW(validatePayload(source));
    std::string again(4, '\0');
    ASSERT_TRUE(source.read(again.data(), 4));
    EXPECT_EQ(again, "BZh9");
}

TEST(ValidatePayload, MissingPayloadIsError4) {
    io::stream<io::array_source> notOpen;
    try {
        validatePayload(notOpen);
        FAIL() << "no error";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), make_error_code(compress_errc::unknown));
    }
}

TEST(ValidatePayload, DamagedPayloadIsABzip2Error) {
    for (const std::string& compressed :
         {corrupted(compress(twoFiles())), compress(twoFiles()).substr(0, 200), std::string()}) {
        io::stream<io::array_source> source(compressed.data(), compressed.size());
        EXPECT_THROW(validatePayload(source), io::bzip2_error) << compressed.size();
    }
}

} // namespace
