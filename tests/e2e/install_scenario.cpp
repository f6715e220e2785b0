// A quick installation from the first page to the last, and what it leaves
// on the machine.
#include "installation.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

TEST(Install, QuickInstallation) {
    const Destinations destinations = quickDestinations();
    const std::vector<payload::ArchiveEntry> files =
        installedFiles(PayloadArchive::of(installerPath()), destinations);
    ASSERT_EQ(files.size(), 27u);
    const MachineState before = snapshotMachine();
    const std::vector<std::wstring> temporaryBefore = folderListing(temporaryFolder());

    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame, true);
    install(frame);
    screenshot(frame, L"04-installed");
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Next' to continue.");
    const std::vector<std::wstring> log = logLines(frame);
    // Paths with blanks (all but the data files' here) appear in double quotes.
    expectInstallationLog(log, destinations, files);
    EXPECT_FALSE(controlEnabled(frame, IDC_BACK));
    EXPECT_EQ(controlText(frame, IDOK), L"Next  >");
    EXPECT_EQ(controlText(frame, IDCANCEL), L"Exit");

    click(frame, IDOK);
    expectPage(frame, wizard::EndPage);
    screenshot(frame, L"05-end");
    EXPECT_EQ(controlText(frame, IDC_END_RESULT), L"Installation is complete.");
    EXPECT_FALSE(controlEnabled(frame, IDOK));
    // Back from the End page shows the finished progress page as it was.
    click(frame, IDC_BACK);
    expectPage(frame, ProgressPage);
    EXPECT_FALSE(controlEnabled(frame, IDC_BACK));
    EXPECT_TRUE(controlEnabled(frame, IDOK));
    EXPECT_EQ(logLines(frame), log);
    click(frame, IDOK);
    expectPage(frame, wizard::EndPage);
    click(frame, IDCANCEL);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));

    expectInstalledFiles(files, destinations);
    expectShortcuts(destinations);
    expectRegistration(destinations);
    // Kelvane.exe registers its document type only when its command line
    // splits into exactly its path, "/Register" and "/Background": the quoted
    // path with its blanks reached it whole.
    expectFileAssociations(destinations);
    expectUninstallLog(destinations, files, before);
    // The uninstaller learns of everything the installation left.
    EXPECT_EQ(unrecordedChanges(before, snapshotMachine(), destinations),
              std::vector<std::wstring>{});
    // The session's temporary folder "tarnwick_{...}" and every backup are gone.
    EXPECT_EQ(folderListing(temporaryFolder()), temporaryBefore);
}

TEST(Install, MainProgramReturningZeroFailsOnlyTheRegistryLine) {
    PayloadArchive archive = PayloadArchive::of(installerPath());
    const std::optional<std::string> zeroExit =
        fileContents(pathFromEnvironment(L"KV_ZERO_EXIT_PROGRAM"));
    ASSERT_TRUE(zeroExit.has_value());
    archive.replaceContents(archive.indexOf(payload::MainProgram), *zeroExit);
    const std::wstring variant =
        installerVariant(L"InstallKelvane3.00g.exe", testing_support::compress(archive.bytes()));
    const Destinations destinations = quickDestinations();
    const std::vector<payload::ArchiveEntry> files = installedFiles(archive, destinations);
    const MachineState before = snapshotMachine();

    Installer installer(variant);
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame);
    install(frame);
    screenshot(frame, L"installed");
    expectInstallationLog(logLines(frame), destinations, files, L"Failed");
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Next' to continue.");
    click(frame, IDOK);
    expectPage(frame, wizard::EndPage);
    click(frame, IDCANCEL);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));

    expectInstalledFiles(files, destinations);
    expectRegistration(destinations);
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, L".kvd"));
    expectUninstallLog(destinations, files, before, false);
}

} // namespace
