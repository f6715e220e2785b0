// The interruption matrix: the installer's process ended (TerminateProcess)
// in the middle of a run, at sampled payload entries and at each step after
// the extraction, on a clean machine and over the fault matrix's earlier
// installation (FaultMatrixSetup.EarlierInstallation). The next start says
// that the interrupted installation was undone and leaves the machine as it
// was before; an installation then ends as one never interrupted does.
//
// The driver reads the installer's journal file and ends the process once
// the journal records the change it aims at, while that change is being
// made. The last steps leave too little time for that: there the driver holds
// the journal open, as a virus scanner reading it would, so that the
// installer waits at its next record (journal_store.h), and ends it there.
// tests/e2e/CMakeLists.txt registers each case as a test of its own.
#include "installation.h"
#include "text_case.h"

#include "install/journal_file.h"
#include "install/product.h"
#include "support/unique_resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

using namespace e2e;
using testing_support::sameIgnoringCase;

constexpr wchar_t undone[] = L"An interrupted installation of 'Kelvane 3.00g' was undone: "
                             L"everything it had changed is as it was before.";
constexpr wchar_t unreadable[] =
    L"An interrupted installation left a record that cannot be read, so it was not undone and "
    L"nothing was changed. An administrator should look at it:\r\n\r\n";

enum class Machine { Clean, Earlier };
enum class Step { Entry, Shortcuts, UninstallKey, Associations, Log };

struct Point {
    Machine start;
    Step step;
    std::size_t entry = 0; // for Step::Entry, from 0 in payload order
};

using JournalTest = std::function<bool(const JournalImage&)>;

JournalTest hasEntry(const std::function<bool(const LogEntry&)>& test) {
    return
        [test](const JournalImage& journal) { return std::ranges::any_of(journal.entries, test); };
}

std::wstring journalFile() {
    return journalFolder() + L"\\" + journalFileName;
}

// A journal file as the installer left it, read without standing in the way
// of the installer for longer than its retries last.
std::optional<JournalImage> readJournal(const std::wstring& path = journalFile()) {
    const tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<std::uint8_t> bytes(1u << 20);
    DWORD read = 0;
    if (!file ||
        !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(read);
    return decodeJournal(bytes);
}

// Waits while the installer runs until its journal passes the test.
bool waitForJournal(const Installer& installer, const JournalTest& test) {
    return waitUntil(
               [&] {
                   const std::optional<JournalImage> journal = readJournal();
                   return !installer.running() || (journal && test(*journal));
               },
               120s, 5ms) &&
           installer.running();
}

// Holds the journal until the installer has written the next one beside it
// (journal_store.h) and that one passes the test: the installer then waits to
// replace the journal and makes no change meanwhile.
bool holdJournalUntil(const Installer& installer, const JournalTest& test) {
    const tw::unique_file held(::CreateFileW(journalFile().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(held) << "the journal is gone";
    return held &&
           waitUntil(
               [&] {
                   const auto next = readJournal(journalFile() + L".new");
                   return !installer.running() || (next && test(*next));
               },
               20s, 5ms) &&
           installer.running();
}

// Ends the installer at the point; false when the run ended first. file:
// the destination of the point's entry.
bool interruptAt(Installer& installer, const Point& point, const std::wstring& file) {
    bool reached = false;
    switch (point.step) {
    case Step::Entry:
        reached = waitForJournal(installer, hasEntry([&](const LogEntry& entry) {
                                     return entry.kind == LogKind::File &&
                                            sameIgnoringCase(entry.path, file);
                                 }));
        break;
    case Step::Shortcuts:
        reached = waitForJournal(
            installer, hasEntry([](const LogEntry& entry) { return isShortcutKind(entry.kind); }));
        break;
    case Step::UninstallKey:
        reached = waitForJournal(installer, hasEntry([](const LogEntry& entry) {
                                     return entry.kind == LogKind::UninstallKey;
                                 }));
        break;
    case Step::Associations:
        // While the main program it started registers the document type.
        reached = waitForJournal(installer, hasEntry([](const LogEntry& entry) {
                                     return entry.kind == LogKind::FileAssociations;
                                 })) &&
                  waitUntil([&] { return !itsChildren(installer.id()).empty(); }, 20s, 5ms);
        break;
    case Step::Log:
        // Once the values the main program registers are saved, the next
        // record is the log step's, naming the new log beside the earlier one.
        reached = waitForJournal(installer,
                                 [](const JournalImage& journal) {
                                     return std::ranges::any_of(
                                         journal.savedValues, [](const SavedValue& saved) {
                                             return saved.name == product::updatedFromValue;
                                         });
                                 }) &&
                  holdJournalUntil(installer, hasEntry([](const LogEntry& entry) {
                                       return entry.path.ends_with(L"\\Uninstall.ulog.new");
                                   }));
        break;
    }
    const bool running = installer.running();
    installer.end();
    // A program it started ends on its own.
    waitForItsChildren(installer.id());
    return reached && running;
}

// Interrupts a quick installation on this machine at the point.
void interruptRun(const Point& point) {
    const std::vector<payload::ArchiveEntry> files =
        installedFiles(PayloadArchive::of(installerPath()), quickDestinations());
    Installer interrupted;
    HWND frame = waitForFrame(interrupted);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame);
    click(frame, IDOK);
    ASSERT_TRUE(interruptAt(interrupted, point, files[point.entry].destination))
        << "the run ended before it could be interrupted";
    ASSERT_TRUE(readJournal().has_value()) << "the interrupted run left no journal";
}

class InterruptionMatrix : public testing::TestWithParam<Point> {};

TEST_P(InterruptionMatrix, TheNextStartUndoesTheRun) {
    const Point point = GetParam();
    const Destinations destinations = quickDestinations();
    const PayloadArchive archive = PayloadArchive::of(installerPath());
    const std::vector<payload::ArchiveEntry> files = installedFiles(archive, destinations);
    const std::wstring dataFile = files[archive.indexOf(payload::DataFile)].destination;
    if (point.start == Machine::Earlier) {
        ASSERT_EQ(fileContents(dataFile), usersSettings) << "the machine was not prepared";
    }
    const MachineState before = snapshotMachine();
    ASSERT_NO_FATAL_FAILURE(interruptRun(point));

    {
        Installer next;
        const ShownMessage told = waitForMessageBox(next.id(), {});
        EXPECT_EQ(told.caption, L"Installer \u2013 Kelvane 3.00g");
        EXPECT_EQ(told.text, undone);
        answer(told, IDOK);
        HWND frame = waitForFrame(next);
        ASSERT_NE(frame, nullptr);
        expectPage(frame, wizard::StartPage);
        EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
        exitConfirmed(next, frame);
    }
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});

    // Installing now gives what an installation never interrupted gives.
    installQuickly();
    expectShortcuts(destinations);
    expectRegistration(destinations);
    expectFileAssociations(destinations);
    const UninstallLogFile log = readUninstallLog(destinations);
    EXPECT_TRUE(log.complete);
    if (point.start == Machine::Clean) {
        expectInstalledFiles(files, destinations);
        expectUninstallLog(destinations, files, before);
        EXPECT_EQ(unrecordedChanges(before, snapshotMachine(), destinations),
                  std::vector<std::wstring>{});
    } else {
        EXPECT_EQ(fileContents(dataFile), usersSettings);
        EXPECT_EQ(log.contents.previousLabel, L"Kelvane 3.00g");
    }
    EXPECT_FALSE(readJournal().has_value());
}

enum class Damage { CutShort, Changed };

class DamagedJournal : public testing::TestWithParam<Damage> {};

// A journal that is not whole is not acted on: the installer says so, names
// it, and ends; the machine stays as the interrupted run left it.
TEST_P(DamagedJournal, IsReportedAndNothingChanges) {
    ASSERT_NO_FATAL_FAILURE(interruptRun({Machine::Clean, Step::Entry, 13}));
    std::string bytes = fileContents(journalFile()).value_or(std::string());
    if (GetParam() == Damage::CutShort) {
        bytes.resize(bytes.size() / 2);
    } else {
        bytes[bytes.size() / 2] ^= 0x01;
    }
    writeFile(journalFile(), bytes);
    const MachineState before = snapshotMachine();

    Installer next;
    const ShownMessage told = waitForMessageBox(next.id(), {});
    EXPECT_EQ(told.caption, L"Installer \u2013 Kelvane 3.00g");
    EXPECT_EQ(told.text, unreadable + journalFile());
    answer(told, IDOK);
    EXPECT_TRUE(next.waitForExit().has_value());
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
}

std::string damageName(const testing::TestParamInfo<Damage>& damage) {
    return damage.param == Damage::CutShort ? "CutShort" : "Changed";
}

INSTANTIATE_TEST_SUITE_P(Recovery, DamagedJournal,
                         testing::Values(Damage::CutShort, Damage::Changed), damageName);

std::string pointName(const testing::TestParamInfo<Point>& info) {
    const Point& point = info.param;
    switch (point.step) {
    case Step::Entry:
        return "Entry" + std::string(point.entry < 9 ? "0" : "") + std::to_string(point.entry + 1);
    case Step::Shortcuts:
        return "Shortcuts";
    case Step::UninstallKey:
        return "UninstallKey";
    case Step::Associations:
        return "Associations";
    case Step::Log:
        return "Log";
    }
    return "Unknown";
}

std::vector<Point> pointsOf(Machine start, std::initializer_list<std::size_t> entries) {
    std::vector<Point> points;
    for (const std::size_t entry : entries) {
        points.push_back({start, Step::Entry, entry});
    }
    for (const Step step : {Step::Shortcuts, Step::UninstallKey, Step::Associations, Step::Log}) {
        points.push_back({start, step});
    }
    return points;
}

// Sampled so that the matrix stays within a few minutes: on a clean machine
// the first sample (the folders made), a shared data file (14), the user's
// data file (16) and the main program (27); over the earlier installation,
// whose samples and data files an update leaves, the uninstaller (17), a
// language module (24) and the main program (27); and every step after the
// extraction on both.
INSTANTIATE_TEST_SUITE_P(Clean, InterruptionMatrix,
                         testing::ValuesIn(pointsOf(Machine::Clean, {0, 13, 15, 26})), pointName);
INSTANTIATE_TEST_SUITE_P(Earlier, InterruptionMatrix,
                         testing::ValuesIn(pointsOf(Machine::Earlier, {16, 23, 26})), pointName);

} // namespace
