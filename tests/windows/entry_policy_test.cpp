// What the installation does with each notification of the extraction: the
// check of the payload, which entries it writes in which session, what the
// journal records, and what the user sees.
#include "install/entry_policy.h"

#include "app/install_app.h"
#include "install/install_view.h"
#include "payload/archive_writer.h"
#include "payload/compress_error.h"
#include "payload/temp_files.h"
#include "support/language_state.h"
#include "test_data.h"
#include "test_support.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using payload::ArchiveEntry;
using payload::notification;
using result = notification::result;
using testing_support::ScratchFolder;

// The progress page as the policy sees it: everything it shows is recorded.
class RecordedView : public InstallView {
public:
    void AppendLog(const std::wstring& text, bool heading) override {
        log += heading ? L"[" + text + L"]" : text;
    }
    void SetStatus(const std::wstring& text, bool isPath) override {
        status = text;
        statusIsPath = isPath;
    }
    void SetProgress(int percent) override { progress.push_back(percent); }
    void ShowProgress(bool) override {}
    HWND window() const override { return nullptr; }

    std::wstring log;
    std::wstring status;
    bool statusIsPath = false;
    std::vector<int> progress;
};

std::string validPayload() {
    return testing_support::compress(
        payload::writeArchive({ArchiveEntry{L"a.txt", L"<InstallPath>", 0, 0, 0}}, {"abc"}));
}

void writeFile(const std::wstring& path, const std::string& contents) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << contents;
}

std::string readFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

class EntryPolicyTest : public testing::Test {
protected:
    EntryPolicyTest()
        : scratch(L"entry-policy")
        , temporaries(scratch / L"temp")
        , payloadBytes(validPayload())
        , resource(payloadBytes.data(), payloadBytes.size())
        , policy(app, view, temporaries, resource) {
        tw::SetLanguage(1);
    }

    ArchiveEntry entry(const std::wstring& name, std::uint32_t kind) const {
        return ArchiveEntry{name, scratch / name, kind, 3, 0};
    }
    result begin(const ArchiveEntry& e) {
        return policy(notification{notification::entry_begin{e}});
    }
    result end(const ArchiveEntry& e) { return policy(notification{notification::entry_end{e}}); }

    ScratchFolder scratch;
    CInstallApp app;
    RecordedView view;
    payload::TemporaryFiles temporaries;
    std::string payloadBytes;
    payload::ResourceStream resource;
    EntryPolicy policy;
};

TEST_F(EntryPolicyTest, StartedChecksThePayloadAndRewindsIt) {
    EXPECT_EQ(policy(notification{notification::started{}}), result::proceed);
    EXPECT_EQ(view.log, L"Preparing Installation...OK\r\n");
    EXPECT_EQ(view.status, L"Preparing Installation...");
    EXPECT_EQ(resource.position(), 0u);
}

TEST_F(EntryPolicyTest, StartedRaisesTheDecompressorsErrorForACorruptPayload) {
    std::string corrupt = validPayload();
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x5A);
    payload::ResourceStream damaged(corrupt.data(), corrupt.size());
    EntryPolicy damagedPolicy(app, view, temporaries, damaged);
    EXPECT_THROW(damagedPolicy(notification{notification::started{}}),
                 boost::iostreams::bzip2_error);
    EXPECT_EQ(view.log, L"Preparing Installation...");
}

TEST_F(EntryPolicyTest, StartedWithoutPayloadIsError4) {
    payload::ResourceStream missing;
    EntryPolicy missingPolicy(app, view, temporaries, missing);
    try {
        missingPolicy(notification{notification::started{}});
        ADD_FAILURE() << "no error";
    } catch (const std::system_error& failure) {
        EXPECT_EQ(failure.code(), payload::make_error_code(payload::compress_errc::unknown));
    }
}

TEST_F(EntryPolicyTest, AFileToInstallIsJournalledAndShown) {
    const ArchiveEntry language = entry(L"Kelvane.fr.dll", payload::LanguageModule);
    EXPECT_EQ(begin(language), result::proceed);
    const std::wstring line = L"Copying File  " + language.destination + L"...";
    EXPECT_EQ(view.log, line);
    EXPECT_EQ(view.status, line);
    EXPECT_TRUE(view.statusIsPath);
    ASSERT_EQ(app.previousLog.newEntries.size(), 1u);
    EXPECT_EQ(app.previousLog.newEntries.back().path, language.destination);
    EXPECT_EQ(app.previousLog.newEntries.back().value, 0);
    EXPECT_FALSE(app.previousLog.newEntries.back().done);

    EXPECT_EQ(end(language), result::proceed);
    EXPECT_EQ(view.log, line + L"OK\r\n");
    EXPECT_TRUE(app.previousLog.newEntries.back().done);
}

TEST_F(EntryPolicyTest, TheProgramsAreRememberedForTheLaterSteps) {
    begin(entry(L"Kelvane.exe", payload::MainProgram));
    begin(entry(L"Uninstall.exe", payload::Uninstaller));
    EXPECT_EQ(view.mainProgramPath, scratch / L"Kelvane.exe");
    EXPECT_EQ(view.uninstallerPath, scratch / L"Uninstall.exe");
}

TEST_F(EntryPolicyTest, AnExistingDataFileIsKeptWithACopiedBackupAndNotWritten) {
    for (const std::int32_t state : {NotInstalled, OlderInstalled, SameInstalled}) {
        app.existingState = state;
        app.previousLog.newEntries.clear();
        const ArchiveEntry data = entry(L"Defaults.ini", payload::DataFile);
        writeFile(data.destination, "the user's settings");

        EXPECT_EQ(begin(data), result::skip) << state;
        EXPECT_EQ(readFile(data.destination), "the user's settings");
        ASSERT_EQ(app.previousLog.newEntries.size(), 1u);
        const LogEntry& recorded = app.previousLog.newEntries.back();
        EXPECT_EQ(recorded.value, payload::DataFile);
        EXPECT_TRUE(recorded.done);
        ASSERT_FALSE(recorded.backup.empty());
        EXPECT_EQ(readFile(recorded.backup), "the user's settings") << "a copy, not a move";
        EXPECT_TRUE(view.log.empty()) << "nothing is shown for a kept data file";
    }
}

TEST_F(EntryPolicyTest, ADataFileTheEarlierInstallationWroteStaysAwayOnceDeleted) {
    const ArchiveEntry data = entry(L"User.ini", payload::DataFile);
    app.previousLog.oldEntries.push_back(LogEntry{LogKind::File, data.destination, {}, true, 3});
    for (const std::int32_t state : {OlderInstalled, SameInstalled}) {
        app.existingState = state;
        EXPECT_EQ(begin(data), result::skip) << state;
        EXPECT_TRUE(app.previousLog.newEntries.empty());
    }
    // Without an earlier installation the old log does not count.
    app.existingState = NotInstalled;
    EXPECT_EQ(begin(data), result::proceed);
}

TEST_F(EntryPolicyTest, SamplesAreLeftOutOnlyWhenAnOlderVersionIsUpdated) {
    const ArchiveEntry sample = entry(L"Welcome.kvd", payload::Sample);
    app.existingState = OlderInstalled;
    EXPECT_EQ(begin(sample), result::skip);
    EXPECT_TRUE(app.previousLog.newEntries.empty());
    for (const std::int32_t state : {NotInstalled, SameInstalled}) {
        app.existingState = state;
        EXPECT_EQ(begin(sample), result::proceed) << state;
    }
}

TEST_F(EntryPolicyTest, TemporaryFilesAreListedNotJournalled) {
    const ArchiveEntry temporary = entry(L"setup.tmp", payload::TemporaryFile);
    EXPECT_EQ(begin(temporary), result::proceed);
    EXPECT_EQ(temporaries.files(), std::vector<std::wstring>{temporary.destination});
    EXPECT_EQ(end(temporary), result::proceed);
    EXPECT_TRUE(app.previousLog.newEntries.empty());
    EXPECT_EQ(view.log, L"Copying File  " + temporary.destination + L"...OK\r\n");
}

TEST_F(EntryPolicyTest, ProgressIsRoundedAndFullOnlyAtTheEnd) {
    for (const std::uint64_t position : {0ull, 5ull, 994ull, 995ull, 1000ull}) {
        EXPECT_EQ(policy(notification{notification::progress{position, 1000}}), result::proceed);
    }
    EXPECT_EQ(view.progress, (std::vector<int>{0, 1, 99, 99, 100}));
}

TEST_F(EntryPolicyTest, AFailureEndsTheLineAndShowsTheCode) {
    const ArchiveEntry language = entry(L"Kelvane.de.dll", payload::LanguageModule);
    begin(language);
    policy(notification{notification::failed{
        payload::make_error_code(payload::compress_errc::invalid_checksum), language.destination}});
    EXPECT_EQ(view.log, L"Copying File  " + language.destination + L"...Failed\r\n");
    EXPECT_EQ(view.status, L"Installation failed (Error Code 3).");
    EXPECT_FALSE(app.previousLog.newEntries.back().done);
    EXPECT_FALSE(app.previousLog.pending);

    policy(notification{notification::failed{std::error_code(5, std::system_category()), {}}});
    EXPECT_EQ(view.status, L"Installation failed (Error Code 1:00000005).");
}

} // namespace
