// The interruption matrix: the installer's process ended (TerminateProcess)
// in the middle of a run, at sampled payload entries and at the steps after
// the extraction, on a clean machine and over the fault matrix's earlier
// installation (FaultMatrixSetup.EarlierInstallation). The next start says
// that the interrupted installation was undone and leaves the machine as it
// was before; an installation then ends as one never interrupted does.
//
// The driver watches the installer's journal file and ends the process the
// moment the journal records the change it aims at, that is, just before
// that change is made. tests/e2e/CMakeLists.txt registers each case as a
// test of its own.
#include "installation.h"

#include "install/journal_file.h"
#include "support/unique_resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>

namespace {

using namespace e2e;

constexpr wchar_t undone[] = L"An interrupted installation of 'Kelvane 3.00g' was undone: "
                             L"everything it had changed is as it was before.";
const std::string usersSettings = "[Kelvane]\r\nTheme=the user's own\r\n";

enum class Machine { Clean, Earlier };
enum class Step { Entry, Shortcuts, UninstallKey, Associations, Log };

struct Point {
    Machine start;
    Step step;
    std::size_t entry = 0; // for Step::Entry, from 0 in payload order
};

bool sameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) ==
                      std::towlower(static_cast<wint_t>(y));
           });
}

// Whether the journal records the change the point aims at.
bool recorded(const JournalImage& journal, const Point& point, const std::wstring& file) {
    return std::ranges::any_of(journal.entries, [&](const LogEntry& entry) {
        switch (point.step) {
        case Step::Entry:
            return entry.kind == LogKind::File && sameText(entry.path, file);
        case Step::Shortcuts:
            return isShortcutKind(entry.kind);
        case Step::UninstallKey:
            return entry.kind == LogKind::UninstallKey;
        case Step::Associations:
            return entry.kind == LogKind::FileAssociations;
        case Step::Log:
            return entry.kind == LogKind::File && entry.path.ends_with(L"Uninstall.ulog.new");
        }
        return false;
    });
}

// The journal as the installer left it, read without standing in the way of
// the installer replacing it.
std::optional<JournalImage> readJournal() {
    const std::wstring path = journalFolder() + L"\\" + journalFileName;
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

// Ends the installer once its journal records what the point aims at; false
// when the run ended first.
bool interruptAt(Installer& installer, const Point& point, const std::wstring& file) {
    const bool reached = waitUntil(
        [&] {
            const std::optional<JournalImage> journal = readJournal();
            return !installer.running() || (journal && recorded(*journal, point, file));
        },
        120s);
    const bool running = installer.running();
    installer.end();
    // The main program it started to register the document type may still run.
    waitForItsChildren(installer.id());
    return reached && running;
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
    {
        Installer interrupted;
        HWND frame = waitForFrame(interrupted);
        ASSERT_NE(frame, nullptr);
        toProgressPage(frame);
        click(frame, ids::next);
        ASSERT_TRUE(interruptAt(interrupted, point, files[point.entry].destination))
            << "the run ended before the change was recorded";
    }
    if (point.step == Step::Log && !readJournal()) {
        // The last step can end the run before the process is ended: the
        // installation is then complete, and nothing is to be undone.
        const UninstallLogFile log = readUninstallLog(destinations);
        EXPECT_TRUE(log.complete);
        GTEST_SKIP() << "the run ended before it could be interrupted";
    }
    ASSERT_TRUE(readJournal().has_value()) << "the interrupted run left no journal";

    {
        Installer next;
        const ShownMessage told = waitForMessageBox(next.id(), {});
        EXPECT_EQ(told.caption, L"Installer \u2013 Kelvane 3.00g");
        EXPECT_EQ(told.text, undone);
        answer(told, IDOK);
        HWND frame = waitForFrame(next);
        ASSERT_NE(frame, nullptr);
        expectPage(frame, Start);
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

// Sampled so that the matrix stays within a few minutes: a data file (14), the
// uninstaller (17), a language module (26) and the main program (27), and
// each step after the extraction once on each machine.
INSTANTIATE_TEST_SUITE_P(Clean, InterruptionMatrix,
                         testing::Values(Point{Machine::Clean, Step::Entry, 13},
                                         Point{Machine::Clean, Step::Entry, 25},
                                         Point{Machine::Clean, Step::Shortcuts},
                                         Point{Machine::Clean, Step::Log},
                                         Point{Machine::Clean, Step::Associations}),
                         pointName);
INSTANTIATE_TEST_SUITE_P(Earlier, InterruptionMatrix,
                         testing::Values(Point{Machine::Earlier, Step::Entry, 16},
                                         Point{Machine::Earlier, Step::Entry, 25},
                                         Point{Machine::Earlier, Step::UninstallKey},
                                         Point{Machine::Earlier, Step::Log}),
                         pointName);

} // namespace
