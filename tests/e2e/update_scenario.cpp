// The installer run again over an installation of the product: the same
// version is reinstalled after a question, an older one is updated in place,
// a newer one is left alone, and the earlier installation's folders come from
// its uninstall log.
#include "installation.h"

#include "support/unique_resource.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

namespace {

using namespace e2e;

// An installation in folders of the user's choice rather than the defaults.
Destinations chosenDestinations() {
    Destinations destinations = quickDestinations();
    destinations.installFolder = L"C:\\Apps\\Kelvane Test";
    destinations.shortcutFolder = shellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Kelvane Test Menu";
    destinations.mainProgram = destinations.installFolder + L"\\Kelvane.exe";
    destinations.uninstaller = destinations.installFolder + L"\\Uninstall.exe";
    return destinations;
}

void setControlText(HWND frame, int id, const std::wstring& text) {
    ::SendMessageW(control(frame, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool readOnly(HWND frame, int id) {
    return (::GetWindowLongW(control(frame, id), GWL_STYLE) & ES_READONLY) != 0;
}

// A first installation by the installer under test, quick or (chosen) into
// the folders of chosenDestinations.
void installFirst(bool chosen) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    if (!chosen) {
        toProgressPage(frame);
    } else {
        const Destinations destinations = chosenDestinations();
        advancedToFolderPage(frame);
        setControlText(frame, IDC_FOLDER, destinations.installFolder);
        click(frame, IDOK);
        expectPage(frame, ShortcutPage);
        // The read-only box takes what the folder picker would give it.
        setControlText(frame, IDC_FOLDER, L"Programs\\Kelvane Test Menu");
        click(frame, IDOK);
        expectPage(frame, ProgressPage);
    }
    install(frame);
    leaveInstalled(installer, frame);
}

void setRegistryString(const std::wstring& key, const std::wstring& name,
                       const std::wstring& text) {
    HKEY opened = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &opened),
              ERROR_SUCCESS);
    const LSTATUS status = ::RegSetValueExW(
        opened, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(opened);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

std::size_t firstOfKind(const std::vector<payload::ArchiveEntry>& files, payload::EntryKind kind) {
    return static_cast<std::size_t>(
        std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.kind == kind; }) -
        files.begin());
}

// What the user did with the installation: settings of their own in a data
// file, and a sample deleted.
void changeAsTheUser(const payload::ArchiveEntry& dataFile, const payload::ArchiveEntry& sample) {
    writeFile(dataFile.destination, usersSettings);
    ASSERT_TRUE(::DeleteFileW(sample.destination.c_str()));
}

// The frame of a started installer on its Start page, which says what
// information tells; null when the installer shows no frame.
HWND startPageSaying(const Installer& installer, const std::wstring& information) {
    HWND frame = waitForFrame(installer);
    if (frame != nullptr) {
        expectPage(frame, wizard::StartPage);
        EXPECT_EQ(controlText(frame, IDC_START_INFO), information);
    }
    return frame;
}

// Every payload file as the payload holds it, but those named in changed,
// which must hold what is given there (nothing: the file is absent).
void expectFilesExcept(const PayloadArchive& archive,
                       const std::vector<payload::ArchiveEntry>& files,
                       const std::map<std::size_t, std::optional<std::string>>& changed) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(testing::PrintToString(files[i].destination));
        const auto exception = changed.find(i);
        const std::optional<std::string> expected =
            exception != changed.end() ? exception->second
                                       : std::optional<std::string>(archive.contents(i));
        EXPECT_EQ(fileContents(files[i].destination), expected);
    }
}

using EntryKey = std::tuple<LogKind, std::int32_t, std::wstring, bool>;

std::vector<EntryKey> keysOf(const LogEntries& entries) {
    std::vector<EntryKey> keys;
    for (const LogEntry& entry : entries) {
        keys.emplace_back(entry.kind, entry.value, entry.path, entry.done);
    }
    return keys;
}

// The log of a run over an earlier installation: the update label, and the
// earlier entries that this run did not record again (kept) in their order,
// before the entries of this run, which recorded everything else again.
void expectMergedLog(const Destinations& destinations, const UninstallLogFile& earlier,
                     const std::function<bool(const LogEntry&)>& kept) {
    const UninstallLogFile merged = readUninstallLog(destinations);
    ASSERT_GE(merged.lines.size(), 6u);
    EXPECT_EQ(merged.lines[2], L"// Install Kelvane 3.00g -- Update (Kelvane 3.00g)");
    EXPECT_EQ(merged.lines[3], L"// Install Path : " + destinations.installFolder);
    EXPECT_EQ(merged.lines[4], L"// Shortcut Path : " + destinations.shortcutFolder);
    EXPECT_TRUE(merged.complete);

    LogEntries expected = earlier.contents.entries;
    expected.sort([&](const LogEntry& a, const LogEntry& b) { return kept(a) && !kept(b); });
    EXPECT_EQ(keysOf(merged.contents.entries), keysOf(expected));
    std::vector<EntryKey> unique = keysOf(merged.contents.entries);
    std::sort(unique.begin(), unique.end());
    EXPECT_EQ(std::adjacent_find(unique.begin(), unique.end()), unique.end())
        << "an entry is logged twice";
}

std::optional<RegistryValue> updatedFrom() {
    return registryValue(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Kelvane 3", L"Updated From");
}

TEST(Update, SameVersionIsReinstalledAfterTheQuestion) {
    const Destinations destinations = quickDestinations();
    const PayloadArchive archive = PayloadArchive::of(installerPath());
    const std::vector<payload::ArchiveEntry> files = installedFiles(archive, destinations);
    installFirst(false);
    const UninstallLogFile earlier = readUninstallLog(destinations);
    const std::size_t dataFile = firstOfKind(files, payload::DataFile);
    const std::size_t sample = firstOfKind(files, payload::Sample);
    ASSERT_NO_FATAL_FAILURE(changeAsTheUser(files[dataFile], files[sample]));

    // Leaving from the Start page needs no confirmation and changes nothing.
    const MachineState before = snapshotMachine();
    {
        Installer installer;
        HWND frame = startPageSaying(
            installer, L"'Kelvane 3.00g' is already installed.\r\nDo you confirm Reinstallation ?");
        ASSERT_NE(frame, nullptr);
        screenshot(frame, L"start");
        EXPECT_EQ(controlText(frame, IDC_STATUS),
                  L"Click on 'Next' to continue or on 'Cancel' to exit Installation.");
        EXPECT_TRUE(controlEnabled(frame, IDOK));
        click(frame, IDCANCEL);
        EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
    }
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});

    installQuickly();

    // The data file keeps the user's content; the deleted sample is back.
    expectFilesExcept(archive, files, {{dataFile, usersSettings}});
    // Only an update names the version it replaces.
    EXPECT_EQ(updatedFrom(), std::nullopt);
    // Folders and data files were not recorded again: their earlier entries
    // come first, and every other entry once, as this run recorded it.
    expectMergedLog(destinations, earlier, [](const LogEntry& entry) {
        return entry.kind == LogKind::Folder || entry.value == payload::DataFile;
    });
}

TEST(Update, OlderVersionIsUpdatedInPlace) {
    const Destinations destinations = chosenDestinations();
    const PayloadArchive archive = PayloadArchive::of(installerPath());
    const std::vector<payload::ArchiveEntry> files = installedFiles(archive, destinations);
    installFirst(true);
    const UninstallLogFile earlier = readUninstallLog(destinations);
    ASSERT_EQ(earlier.contents.installPath, destinations.installFolder);
    setInstalledVersion(destinations, 0x0003000000050000ull, L"3.00e");
    const std::size_t dataFile = firstOfKind(files, payload::DataFile);
    const std::size_t sample = firstOfKind(files, payload::Sample);
    ASSERT_NO_FATAL_FAILURE(changeAsTheUser(files[dataFile], files[sample]));

    Installer installer;
    HWND frame = startPageSaying(installer, L"Update from 'Kelvane 3.00e' to 'Kelvane 3.00g'.");
    ASSERT_NE(frame, nullptr);
    screenshot(frame, L"start");
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Next' to continue.");
    advancedToFolderPage(frame);
    screenshot(frame, L"folder");
    // The update goes where the earlier installation is, as its log says.
    EXPECT_EQ(controlText(frame, IDC_FOLDER), destinations.installFolder);
    EXPECT_TRUE(readOnly(frame, IDC_FOLDER));
    EXPECT_FALSE(controlEnabled(frame, IDC_BROWSE));
    click(frame, IDOK);
    expectPage(frame, ShortcutPage);
    EXPECT_EQ(controlText(frame, IDC_FOLDER), L"Programs\\Kelvane Test Menu");
    click(frame, IDOK);
    expectPage(frame, ProgressPage);
    install(frame);
    screenshot(frame, L"installed");
    const std::vector<std::wstring> log = logLines(frame);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::wstring& line) {
                                return line.find(L"Kelvane Examples") != std::wstring::npos;
                            }),
              0)
        << "samples are not installed over an older version";
    EXPECT_NE(std::find(log.begin(), log.end(), L"Registry Data Writing...OK"), log.end());
    leaveInstalled(installer, frame);

    // The new main program replaced the old one, the user's data file and the
    // deleted sample stay as the user left them.
    expectFilesExcept(archive, files, {{dataFile, usersSettings}, {sample, std::nullopt}});
    // Kelvane.exe was told which version it updates: 3.0.5.0 in 16 digits.
    EXPECT_EQ(updatedFrom(), stringValue(L"0003000000050000"));
    expectMergedLog(destinations, earlier, [](const LogEntry& entry) {
        return entry.kind == LogKind::Folder || entry.value == payload::DataFile ||
               entry.value == payload::Sample;
    });
}

TEST(Update, NewerVersionCanOnlyBeLeft) {
    const Destinations destinations = quickDestinations();
    installFirst(false);
    setInstalledVersion(destinations, 0x0003000100000000ull, L"3.10a");
    const MachineState before = snapshotMachine();

    Installer installer;
    HWND frame =
        startPageSaying(installer, L"'Kelvane 3.00g' Installation.\r\n"
                                   L"A more recent Version (Kelvane 3.10a) is already installed.");
    ASSERT_NE(frame, nullptr);
    screenshot(frame, L"start");
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Cancel' to exit Installation.");
    EXPECT_FALSE(controlEnabled(frame, IDOK));
    EXPECT_FALSE(controlEnabled(frame, IDC_BACK));
    // The Enter key does not reach the disabled Next either.
    ::PostMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageW(frame, WM_KEYUP, VK_RETURN, 0xC0000001);
    ::Sleep(500);
    expectPage(frame, wizard::StartPage);
    EXPECT_FALSE(controlEnabled(frame, IDOK));
    click(frame, IDCANCEL);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Update, RegisteredProgramThatIsGoneMeansAFreshInstallation) {
    const Destinations destinations = quickDestinations();
    installFirst(false);
    ASSERT_TRUE(::SetFileAttributesW(destinations.mainProgram.c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(::DeleteFileW(destinations.mainProgram.c_str()));
    ASSERT_TRUE(
        registryValue(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick", L"Kelvane 3 Path").has_value());

    Installer installer;
    HWND frame = startPageSaying(installer, L"'Kelvane 3.00g' Installation.");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Next' to continue.");
    advancedToFolderPage(frame);
    EXPECT_FALSE(readOnly(frame, IDC_FOLDER));
    EXPECT_TRUE(controlEnabled(frame, IDC_BROWSE));
    exitConfirmed(installer, frame);
}

TEST(Update, RegisteredPathNamingAFolderMeansAFreshInstallation) {
    const std::wstring folder = quickDestinations().installFolder;
    std::filesystem::create_directories(folder);
    tw::unique_hkey maker;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick", 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, maker.put(), nullptr),
              ERROR_SUCCESS);
    setRegistryString(L"Software\\Tarnwick", L"Kelvane 3 Path", folder);

    Installer installer;
    HWND frame = startPageSaying(installer, L"'Kelvane 3.00g' Installation.");
    ASSERT_NE(frame, nullptr);
    advancedToFolderPage(frame);
    EXPECT_FALSE(readOnly(frame, IDC_FOLDER));
    exitConfirmed(installer, frame);
}

TEST(Update, LogBesideTheInstallerWhenUninstallStringNamesAnotherFolder) {
    const Destinations destinations = chosenDestinations();
    installFirst(true);
    // "UninstallString" names a folder without a log, and the registered main
    // program lies in another folder without one: only the installer's own
    // folder, the installation folder, holds the log.
    const std::wstring elsewhere = temporaryFolder() + L"\\Kelvane Elsewhere";
    std::filesystem::create_directories(elsewhere);
    setRegistryString(productUninstallKey, L"UninstallString", elsewhere + L"\\Uninstall.exe");
    ASSERT_TRUE(::CopyFileW(destinations.mainProgram.c_str(),
                            (elsewhere + L"\\Kelvane.exe").c_str(), FALSE));
    setRegistryString(L"Software\\Tarnwick", L"Kelvane 3 Path", elsewhere + L"\\Kelvane.exe");
    const std::wstring copy = destinations.installFolder + L"\\InstallKelvane3.00g.exe";
    ASSERT_TRUE(::CopyFileW(windowsPath(installerPath()).c_str(), copy.c_str(), FALSE));

    Installer installer(copy);
    HWND frame = startPageSaying(
        installer, L"'Kelvane 3.00g' is already installed.\r\nDo you confirm Reinstallation ?");
    ASSERT_NE(frame, nullptr);
    advancedToFolderPage(frame);
    screenshot(frame, L"folder");
    EXPECT_EQ(controlText(frame, IDC_FOLDER), destinations.installFolder);
    EXPECT_TRUE(readOnly(frame, IDC_FOLDER));
    click(frame, IDOK);
    expectPage(frame, ShortcutPage);
    EXPECT_EQ(controlText(frame, IDC_FOLDER), L"Programs\\Kelvane Test Menu");
    exitConfirmed(installer, frame);
}

} // namespace
