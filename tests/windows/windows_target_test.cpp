// Extraction onto the real file system through the Windows target: folders,
// read-only files, locked files, read-back retries, damaged payloads, and the
// installer's own payload.
#include "install/folder_rights.h"
#include "install/same_path.h"
#include "payload/archive_writer.h"
#include "payload/compress_error.h"
#include "payload/crc32.h"
#include "payload/extract.h"
#include "payload/payload_resource.h"
#include "payload/stream_source.h"
#include "payload/windows_target.h"
#include "support/unique_resource.h"
#include "file_contents.h"
#include "test_data.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace payload;
using testing_support::compress;
using testing_support::fileContents;
using testing_support::pattern;
using testing_support::ScratchFolder;
using testing_support::writeFile;

// The Windows target with its shell folders inside the scratch folder, and
// another handle that can hold a file while it is read back.
class ScratchTarget : public WindowsTarget {
public:
    explicit ScratchTarget(std::wstring root)
        : WindowsTarget(SamePath,
                        [](const std::wstring& folder) { grantSharedFolderAccess(folder); })
        , root_(std::move(root)) {}

    std::wstring shellFolder(int csidl) override {
        return root_ + L"\\shell" + std::to_wstring(csidl);
    }

    std::optional<std::uint32_t> readBackCrc(const std::wstring& path) override {
        if (heldAttempts > 0 && !holder_) {
            holder_.reset(
                ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        }
        return WindowsTarget::readBackCrc(path);
    }

    void waitBeforeRetry() override {
        ++waits;
        if (--heldAttempts == 0) {
            holder_.reset();
        }
    }

    int heldAttempts = 0; // read-back attempts that find the file held without sharing
    int waits = 0;

private:
    std::wstring root_;
    tw::unique_file holder_;
};

class WindowsExtraction : public testing::Test {
protected:
    ScratchFolder scratch{L"windows-extraction"};
    ScratchTarget target{scratch.path()};
    std::vector<notification> failures;
    std::vector<ArchiveEntry> ended;
    std::wstring skipped;
    bool abortAtBegin = false;

    std::wstring install(const std::wstring& relative) const {
        return scratch / (L"Install\\" + relative);
    }

    bool run(ByteSource& source) {
        return extract(
            source, {scratch / L"Install", scratch / L"Samples", L""},
            [this](notification n) {
                if (std::holds_alternative<notification::failed>(n.value)) {
                    failures.push_back(n);
                } else if (const auto* end = std::get_if<notification::entry_end>(&n.value)) {
                    ended.push_back(end->entry);
                } else if (const auto* b = std::get_if<notification::entry_begin>(&n.value)) {
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

    bool run(const std::string& compressed) {
        std::istringstream stream(compressed);
        StreamSource source(stream);
        return run(source);
    }

    std::wstring shownCode() const {
        EXPECT_EQ(failures.size(), 1u);
        return failures.empty()
                   ? L""
                   : displayErrorCode(std::get<notification::failed>(failures[0].value).code);
    }
    std::wstring failureText() const {
        return failures.empty() ? L"" : std::get<notification::failed>(failures[0].value).text;
    }
};

std::string twoFiles() {
    return writeArchive({{L"C:\\b\\Kelvane.fr.dll", L"<InstallPath>\\Lang", LanguageModule, 0, 0},
                         {L"Kelvane.exe", L"<InstallPath>", MainProgram, 0, 0}},
                        {pattern(10000, 1), pattern(20000, 2)});
}

TEST_F(WindowsExtraction, InstallersOwnPayloadIsWrittenAndVerified) {
    tw::unique_hmodule installer(
        ::LoadLibraryExW(testing_support::buildPath(KV_INSTALLER_FILE).c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(installer);
    const auto stream = openPayloadResource(installer.get(), installer.get());
    ASSERT_TRUE(stream->is_open());
    ASSERT_TRUE(run(*stream));
    ASSERT_EQ(ended.size(), 27u);
    for (const ArchiveEntry& entry : ended) {
        const std::string contents = fileContents(entry.destination).value_or("");
        EXPECT_EQ(contents.size(), entry.size);
        EXPECT_EQ(crc32(contents.data(), contents.size()), entry.crc);
    }
    EXPECT_EQ(ended[0].destination, scratch / L"Samples\\Welcome.kvd");
    EXPECT_EQ(ended[13].destination, scratch / L"shell35\\Tarnwick\\Kelvane\\Templates.kvt");
    EXPECT_EQ(ended[15].destination, scratch / L"shell26\\Tarnwick\\Kelvane\\User.ini");
    EXPECT_EQ(ended[26].destination, install(L"Kelvane.exe"));
    EXPECT_EQ(fileContents(install(L"Kelvane.exe")).value_or("").substr(0, 2), "MZ");
}

TEST_F(WindowsExtraction, ReadOnlyFileIsOverwritten) {
    ::CreateDirectoryW(install(L"").c_str(), nullptr);
    writeFile(install(L"Kelvane.exe"), "old");
    ASSERT_TRUE(::SetFileAttributesW(install(L"Kelvane.exe").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(run(compress(twoFiles())));
    EXPECT_EQ(fileContents(install(L"Kelvane.exe")), pattern(20000, 2));
    EXPECT_EQ(::GetFileAttributesW(install(L"Kelvane.exe").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(WindowsExtraction, ThreeMissingFoldersAreCreated) {
    ASSERT_TRUE(
        run(compress(writeArchive({{L"deep.txt", L"<InstallPath>\\a\\b\\c", 0, 0, 0}}, {"deep"}))));
    EXPECT_EQ(fileContents(install(L"a\\b\\c\\deep.txt")), "deep");
}

TEST_F(WindowsExtraction, ZeroSizeLastEntryIsCreated) {
    ASSERT_TRUE(run(compress(writeArchive(
        {{L"full", L"<InstallPath>", 0, 0, 0}, {L"empty.ini", L"<UserData>\\Tarnwick", 3, 0, 0}},
        {"x", ""}))));
    const std::wstring empty = scratch / L"shell26\\Tarnwick\\empty.ini";
    EXPECT_NE(::GetFileAttributesW(empty.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(fileContents(empty), "");
    EXPECT_EQ(ended.size(), 2u);
}

TEST_F(WindowsExtraction, SkippedEntryLeavesNoFile) {
    skipped = install(L"Lang\\Kelvane.fr.dll");
    ASSERT_TRUE(run(compress(twoFiles())));
    EXPECT_EQ(::GetFileAttributesW(install(L"Lang").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].destination, install(L"Kelvane.exe"));
}

TEST_F(WindowsExtraction, AbortAtEntryBeginIsError5) {
    abortAtBegin = true;
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(shownCode(), L"5");
    EXPECT_EQ(::GetFileAttributesW(install(L"").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WindowsExtraction, CrcDifferingByOneBitIsError3AfterTheFileIsWritten) {
    std::string archive = writeArchive({{L"a.bin", L"<InstallPath>", 0, 0, 0}}, {pattern(5000, 3)});
    archive[archive.size() - 5000 - 4] ^= 0x01;
    EXPECT_FALSE(run(compress(archive)));
    EXPECT_EQ(shownCode(), L"3");
    EXPECT_EQ(fileContents(install(L"a.bin")), pattern(5000, 3));
    EXPECT_EQ(failureText(), install(L"a.bin"));
}

TEST_F(WindowsExtraction, DestinationThatIsAFolderFailsAsAStream) {
    ::CreateDirectoryW(install(L"").c_str(), nullptr);
    ::CreateDirectoryW(install(L"Kelvane.exe").c_str(), nullptr);
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(shownCode(), L"7");
    EXPECT_TRUE(ended.size() == 1 && ended[0].destination == install(L"Lang\\Kelvane.fr.dll"));
}

TEST_F(WindowsExtraction, FileHeldWithoutWriteSharingFailsAsAStream) {
    ::CreateDirectoryW(install(L"").c_str(), nullptr);
    writeFile(install(L"Kelvane.exe"), "running");
    tw::unique_file held(::CreateFileW(install(L"Kelvane.exe").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(shownCode(), L"7");
    held.reset();
    EXPECT_EQ(fileContents(install(L"Kelvane.exe")), "running");
}

TEST_F(WindowsExtraction, FolderThatCannotBeCreatedShowsItsWindowsError) {
    ::CreateDirectoryW(install(L"").c_str(), nullptr);
    writeFile(install(L"Lang"), "a file in the way");
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(shownCode(), L"1:0000010B"); // ERROR_DIRECTORY
    EXPECT_EQ(failureText(), install(L"Lang"));
}

TEST_F(WindowsExtraction, SharingViolationOnReadBackIsWaitedOut) {
    target.heldAttempts = 2;
    ASSERT_TRUE(run(compress(twoFiles())));
    EXPECT_EQ(target.waits, 2);
    EXPECT_EQ(ended.size(), 2u);
}

TEST_F(WindowsExtraction, FourthSharingViolationIsRaised) {
    target.heldAttempts = 4;
    EXPECT_FALSE(run(compress(twoFiles())));
    EXPECT_EQ(shownCode(), L"1:00000020");
    EXPECT_EQ(target.waits, 3);
    EXPECT_EQ(failureText(), install(L"Lang\\Kelvane.fr.dll"));
}

struct Damaged {
    const char* name;
    std::string compressed;
    const wchar_t* shown;
};

class DamagedPayload : public WindowsExtraction, public testing::WithParamInterface<Damaged> {};

TEST_P(DamagedPayload, FailsWithItsCode) {
    EXPECT_FALSE(run(GetParam().compressed));
    EXPECT_EQ(shownCode(), GetParam().shown);
}

std::string damagedBlockHeader() {
    std::string compressed = compress(twoFiles());
    compressed[5] ^= 0x55;
    return compressed;
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, DamagedPayload,
    testing::Values(Damaged{"TruncatedArchive",
                            compress(twoFiles().substr(0, twoFiles().size() - 1)), L"7"},
                    Damaged{"OverlongArchive", compress(twoFiles() + "x"), L"7"},
                    Damaged{"CorruptBzip2", damagedBlockHeader(), L"6"},
                    Damaged{"TruncatedBzip2", compress(twoFiles()).substr(0, 100), L"6"}),
    [](const auto& c) { return std::string(c.param.name); });

} // namespace
