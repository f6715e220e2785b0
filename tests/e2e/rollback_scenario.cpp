// Installations that fail while the payload is unpacked: each is undone
// completely, and the wizard lets the user go back, try again or leave.
#include "installation.h"
#include "test_data.h"

#include "support/unique_resource.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace e2e;

// Starts the installer, installs in quick mode and waits for the failure.
struct FailedRun {
    explicit FailedRun(const std::wstring& installerFile)
        : installer(installerFile)
        , frame(waitForFrame(installer)) {}

    void install() {
        ASSERT_NE(frame, nullptr);
        toProgressPage(frame);
        e2e::install(frame);
        screenshot(frame, L"failed");
    }

    std::size_t copiedFiles() const {
        const std::vector<std::wstring> lines = logLines(frame);
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [](const auto& line) {
                return line.starts_with(L"Copying File  ") && line.ends_with(L"...OK");
            }));
    }

    Installer installer;
    HWND frame;
};

TEST(Rollback, CrcMismatchInTheLastEntry) {
    PayloadArchive archive = PayloadArchive::of(installerPath());
    const std::size_t last = archive.entries().size() - 1;
    archive.corruptContents(last);
    const std::wstring variant =
        installerVariant(L"InstallKelvane3.00g.exe", testing_support::compress(archive.bytes()));
    const std::vector<payload::ArchiveEntry> files = installedFiles(archive, quickDestinations());
    const MachineState before = snapshotMachine();

    FailedRun run(variant);
    run.install();
    expectFailedInstallation(run.frame, L"3",
                             L"Copying File  " + quotedWhenBlank(files[last].destination) +
                                 L"...Failed");
    // Every file before the last was written and verified, and is gone again.
    EXPECT_EQ(run.copiedFiles(), files.size() - 1);
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
    exitConfirmed(run.installer, run.frame);
}

TEST(Rollback, CorruptBzip2Stream) {
    std::string compressed = payloadResource(installerPath());
    compressed[compressed.size() / 2] ^= '\xFF';
    ASSERT_THROW(testing_support::decompress(compressed), boost::iostreams::bzip2_error);
    const std::wstring variant = installerVariant(L"InstallKelvane3.00g.exe", compressed);
    const MachineState before = snapshotMachine();

    FailedRun run(variant);
    run.install();
    // The damage is found before any file is written.
    expectFailedInstallation(run.frame, L"6", L"Preparing Installation...Failed");
    EXPECT_EQ(run.copiedFiles(), 0u);
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
    exitConfirmed(run.installer, run.frame);
}

TEST(Rollback, DestinationHeldOpenByAnotherProcess) {
    // A file that is already where the main program goes, read-only as an
    // installed main program is, and held open by this process without write
    // sharing: it can be neither moved aside nor replaced.
    const Destinations destinations = quickDestinations();
    std::filesystem::create_directories(destinations.installFolder);
    const std::string earlier = "a Kelvane.exe that was here before";
    writeFile(destinations.mainProgram, earlier);
    ASSERT_TRUE(::SetFileAttributesW(destinations.mainProgram.c_str(), FILE_ATTRIBUTE_READONLY));
    const tw::unique_file held(::CreateFileW(destinations.mainProgram.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    const MachineState before = snapshotMachine();

    FailedRun run(installerPath());
    run.install();
    expectFailedInstallation(run.frame, L"7",
                             L"Copying File  " + quotedWhenBlank(destinations.mainProgram) +
                                 L"...Failed");
    EXPECT_EQ(run.copiedFiles(), PayloadArchive::of(installerPath()).entries().size() - 1);
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
    EXPECT_EQ(fileContents(destinations.mainProgram), earlier);
    exitConfirmed(run.installer, run.frame);
}

} // namespace
