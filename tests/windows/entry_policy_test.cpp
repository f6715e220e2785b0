// What the installation does with each notification of the extraction: the
// check of the payload, which entries it writes in which session, what the
// journal records, and what it reports.
#include "install/entry_policy.h"

#include "install/install_progress.h"
#include "install/installation_session.h"
#include "payload/archive_writer.h"
#include "payload/compress_error.h"
#include "payload/temp_files.h"
#include "file_contents.h"
#include "test_data.h"
#include "test_support.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

using payload::ArchiveEntry;
using payload::notification;
using result = notification::result;
using testing_support::fileContents;
using testing_support::ScratchFolder;
using testing_support::writeFile;

// Whoever shows the installation, as the policy sees it: every event it
// reports is recorded, progress apart.
class RecordedProgress : public InstallProgress {
public:
    void runStarted() override { events.push_back(L"run started"); }
    void preparationFailed(const std::wstring& code) override {
        events.push_back(L"preparation failed " + code);
    }
    void extractionStarted() override { events.push_back(L"extraction started"); }
    void stepStarted(InstallStep step) override {
        events.push_back(L"step " + std::to_wstring(static_cast<int>(step)));
    }
    void stepEnded(bool succeeded) override {
        events.push_back(succeeded ? L"step succeeded" : L"step failed");
    }
    void fileStarted(const std::wstring& path) override { events.push_back(L"file " + path); }
    void fileEnded() override { events.push_back(L"file ended"); }
    void progress(int percent) override { percents.push_back(percent); }
    void failed(const std::wstring& code) override { events.push_back(L"failed " + code); }
    void runEnded() override { events.push_back(L"run ended"); }

    std::vector<std::wstring> events;
    std::vector<int> percents;
};

using Events = std::vector<std::wstring>;
const std::wstring preparationStep =
    L"step " + std::to_wstring(static_cast<int>(InstallStep::Preparation));

std::string validPayload() {
    return testing_support::compress(
        payload::writeArchive({ArchiveEntry{L"a.txt", L"<InstallPath>", 0, 0, 0}}, {"abc"}));
}

class EntryPolicyTest : public testing::Test {
protected:
    EntryPolicyTest()
        : scratch(L"entry-policy")
        , temporaries(scratch / L"temp")
        , payloadBytes(validPayload())
        , resource(payloadBytes.data(), payloadBytes.size())
        , policy(session, progress, programs, temporaries, resource) {}

    ArchiveEntry entry(const std::wstring& name, std::uint32_t kind) const {
        return ArchiveEntry{name, scratch / name, kind, 3, 0};
    }
    result begin(const ArchiveEntry& e) {
        return policy(notification{notification::entry_begin{e, {}}});
    }
    result end(const ArchiveEntry& e) { return policy(notification{notification::entry_end{e}}); }

    ScratchFolder scratch;
    UninstallLog journal{UninstallKeyLocation{}, scratch.path()};
    tw::NamedMutex lock{L"Kelvane3.entry-policy-test", false, false};
    InstallationSession session{.installFolder = {},
                                .shortcutFolder = {},
                                .productLabel = L"Kelvane 3.00g",
                                .productName = L"Kelvane",
                                .journal = journal,
                                .instanceLock = lock};
    RecordedProgress progress;
    InstalledPrograms programs;
    payload::TemporaryFiles temporaries;
    std::string payloadBytes;
    payload::ResourceStream resource;
    EntryPolicy policy;
};

TEST_F(EntryPolicyTest, StartedChecksThePayloadAndRewindsIt) {
    EXPECT_EQ(policy(notification{notification::started{}}), result::proceed);
    EXPECT_EQ(progress.events, (Events{preparationStep, L"step succeeded"}));
    EXPECT_EQ(resource.position(), 0u);
}

TEST_F(EntryPolicyTest, StartedRaisesTheDecompressorsErrorForACorruptPayload) {
    std::string corrupt = validPayload();
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x5A);
    payload::ResourceStream damaged(corrupt.data(), corrupt.size());
    EntryPolicy damagedPolicy(session, progress, programs, temporaries, damaged);
    EXPECT_THROW(damagedPolicy(notification{notification::started{}}),
                 boost::iostreams::bzip2_error);
    EXPECT_EQ(progress.events, Events{preparationStep});
}

TEST_F(EntryPolicyTest, StartedWithoutPayloadIsError4) {
    payload::ResourceStream missing;
    EntryPolicy missingPolicy(session, progress, programs, temporaries, missing);
    try {
        missingPolicy(notification{notification::started{}});
        ADD_FAILURE() << "no error";
    } catch (const std::system_error& failure) {
        EXPECT_EQ(failure.code(), payload::make_error_code(payload::compress_errc::unknown));
    }
}

TEST_F(EntryPolicyTest, AFileToInstallIsJournalledAndReported) {
    const ArchiveEntry language = entry(L"Kelvane.fr.dll", payload::LanguageModule);
    EXPECT_EQ(begin(language), result::proceed);
    EXPECT_EQ(progress.events, Events{L"file " + language.destination});
    ASSERT_EQ(journal.newEntries.size(), 1u);
    EXPECT_EQ(journal.newEntries.back().path, language.destination);
    EXPECT_EQ(journal.newEntries.back().value, 0);
    EXPECT_FALSE(journal.newEntries.back().done);

    EXPECT_EQ(end(language), result::proceed);
    EXPECT_EQ(progress.events, (Events{L"file " + language.destination, L"file ended"}));
    EXPECT_TRUE(journal.newEntries.back().done);
}

TEST_F(EntryPolicyTest, TheProgramsAreRememberedForTheLaterSteps) {
    begin(entry(L"Kelvane.exe", payload::MainProgram));
    begin(entry(L"Uninstall.exe", payload::Uninstaller));
    EXPECT_EQ(programs.mainProgram, scratch / L"Kelvane.exe");
    EXPECT_EQ(programs.uninstaller, scratch / L"Uninstall.exe");
}

TEST_F(EntryPolicyTest, AnExistingDataFileIsKeptWithACopiedBackupAndNotWritten) {
    for (const ExistingState state : {NotInstalled, OlderInstalled, SameInstalled}) {
        session.existingState = state;
        journal.newEntries.clear();
        const ArchiveEntry data = entry(L"Defaults.ini", payload::DataFile);
        writeFile(data.destination, "the user's settings");

        EXPECT_EQ(begin(data), result::skip) << state;
        EXPECT_EQ(fileContents(data.destination), "the user's settings");
        ASSERT_EQ(journal.newEntries.size(), 1u);
        const LogEntry& recorded = journal.newEntries.back();
        EXPECT_EQ(recorded.value, payload::DataFile);
        EXPECT_TRUE(recorded.done);
        ASSERT_FALSE(recorded.backup.empty());
        EXPECT_EQ(fileContents(recorded.backup), "the user's settings") << "a copy, not a move";
        EXPECT_TRUE(progress.events.empty()) << "nothing is reported for a kept data file";
    }
}

TEST_F(EntryPolicyTest, ADataFileTheEarlierInstallationWroteStaysAwayOnceDeleted) {
    const ArchiveEntry data = entry(L"User.ini", payload::DataFile);
    journal.oldEntries.push_back(LogEntry{LogKind::File, data.destination, {}, true, 3});
    for (const ExistingState state : {OlderInstalled, SameInstalled}) {
        session.existingState = state;
        EXPECT_EQ(begin(data), result::skip) << state;
        EXPECT_TRUE(journal.newEntries.empty());
    }
    // Without an earlier installation the old log does not count.
    session.existingState = NotInstalled;
    EXPECT_EQ(begin(data), result::proceed);
}

TEST_F(EntryPolicyTest, SamplesAreLeftOutOnlyWhenAnOlderVersionIsUpdated) {
    const ArchiveEntry sample = entry(L"Welcome.kvd", payload::Sample);
    session.existingState = OlderInstalled;
    EXPECT_EQ(begin(sample), result::skip);
    EXPECT_TRUE(journal.newEntries.empty());
    for (const ExistingState state : {NotInstalled, SameInstalled}) {
        session.existingState = state;
        EXPECT_EQ(begin(sample), result::proceed) << state;
    }
}

TEST_F(EntryPolicyTest, TemporaryFilesAreListedNotJournalled) {
    const ArchiveEntry temporary = entry(L"setup.tmp", payload::TemporaryFile);
    EXPECT_EQ(begin(temporary), result::proceed);
    EXPECT_EQ(temporaries.files(), std::vector<std::wstring>{temporary.destination});
    EXPECT_EQ(end(temporary), result::proceed);
    EXPECT_TRUE(journal.newEntries.empty());
    EXPECT_EQ(progress.events, (Events{L"file " + temporary.destination, L"file ended"}));
}

TEST_F(EntryPolicyTest, ProgressIsRoundedAndFullOnlyAtTheEnd) {
    for (const std::uint64_t position : {0ull, 5ull, 994ull, 995ull, 1000ull}) {
        EXPECT_EQ(policy(notification{notification::progress{position, 1000}}), result::proceed);
    }
    EXPECT_EQ(progress.percents, (std::vector<int>{0, 1, 99, 99, 100}));
}

TEST_F(EntryPolicyTest, AFailureIsReportedWithTheCodeTheUserSees) {
    const ArchiveEntry language = entry(L"Kelvane.de.dll", payload::LanguageModule);
    begin(language);
    policy(notification{notification::failed{
        payload::make_error_code(payload::compress_errc::invalid_checksum), language.destination}});
    EXPECT_EQ(progress.events, (Events{L"file " + language.destination, L"failed 3"}));
    EXPECT_FALSE(journal.newEntries.back().done);
    EXPECT_FALSE(journal.pending);

    policy(notification{notification::failed{std::error_code(5, std::system_category()), {}}});
    EXPECT_EQ(progress.events.back(), L"failed 1:00000005");
}

} // namespace
