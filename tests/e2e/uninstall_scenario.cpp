// The product's uninstaller, started as Windows starts it (the UninstallString
// of the product's uninstall key), over installations made by the installer
// under test: it removes everything the installation added, so the round trip
// proves the uninstall log complete.
#include "installation.h"
#include "server_trace.h"
#include "test_support.h"
#include "uninstallation.h"

#include "support/unique_resource.h"
#include "support/well_known_sid.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;

TEST(Uninstall, QuickInstallationLeavesNothing) {
    const MachineState before = snapshotMachine();
    installQuickly();
    uninstallConfirmed();
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, UpdatedInstallationLeavesNothing) {
    const MachineState before = snapshotMachine();
    installQuickly();
    setInstalledVersion(quickDestinations(), 0x0003000000050000ull, L"3.00e");
    installQuickly();
    ASSERT_TRUE(registryValue(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Kelvane 3", L"Updated From"))
        << "the update told Kelvane.exe the version it replaced";
    uninstallConfirmed();
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, ChangedDataFileIsKept) {
    const MachineState before = snapshotMachine();
    const std::vector<payload::ArchiveEntry> files =
        installedFiles(PayloadArchive::of(installerPath()), quickDestinations());
    installQuickly();
    const auto dataFile = std::find_if(files.begin(), files.end(), [](const auto& file) {
        return file.kind == payload::DataFile;
    });
    ASSERT_NE(dataFile, files.end());
    const std::wstring changed = dataFile->destination;
    std::ofstream(std::filesystem::path(changed), std::ios::binary | std::ios::app)
        << usersSettings;

    uninstallConfirmed({changed});
    const MachineState after = snapshotMachine();
    // The file stays, and with it the folders the installation made for it.
    std::vector<std::wstring> expected;
    for (std::filesystem::path item = changed; !before.contains(item.wstring());
         item = item.parent_path()) {
        expected.insert(expected.begin(),
                        L"+ " + item.wstring() + L": " + after.at(item.wstring()));
    }
    std::vector<std::wstring> changes = changesButTheCopy(before, after);
    std::sort(changes.begin(), changes.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(changes, expected);
    EXPECT_NE(fileContents(changed).value_or("").find(usersSettings), std::string::npos);
}

// Ended part-way, the uninstaller stays in the system's list; started again
// from there, it removes the rest and passes over what is gone.
TEST(Uninstall, EndedPartWayAndStartedAgainLeavesNothing) {
    const MachineState before = snapshotMachine();
    installQuickly();
    const Destinations destinations = quickDestinations();
    {
        Installer uninstaller(uninstallString());
        answer(waitForMessageBox(uninstaller.id(), {}), IDYES);
        // Ended once the main program, one of the first files, is gone, and
        // at the latest while it says it is done: before its copy removes
        // its own file.
        ASSERT_TRUE(waitUntil(
            [&] { return fileAttributes(destinations.mainProgram) == INVALID_FILE_ATTRIBUTES; },
            defaultWait, 5ms));
        uninstaller.end();
    }
    ASSERT_NE(fileAttributes(destinations.uninstaller), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(uninstallString(), destinations.uninstaller) << "the system's list keeps it";
    uninstallConfirmed();
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, WaitsUntilTheProductIsClosed) {
    const MachineState before = snapshotMachine();
    installQuickly();
    Installer product(quickDestinations().mainProgram);
    HWND window = waitForWindow(product.id(), L"Kelvane 3.00g");
    ASSERT_NE(window, nullptr);
    const MachineState installed = snapshotMachine();

    Installer uninstaller(uninstallString());
    const ShownMessage asked = waitForMessageBox(uninstaller.id(), {});
    EXPECT_EQ(asked.text, uninstallQuestion);
    answer(asked, IDYES);
    const std::wstring closeText = L"Please close Kelvane 3 before removing it.";
    const ShownMessage refused = waitForMessageBox(uninstaller.id(), {asked.window});
    EXPECT_EQ(refused.caption, uninstallCaption);
    EXPECT_EQ(refused.text, closeText);
    EXPECT_EQ(refused.buttons, (std::vector<int>{IDRETRY, IDCANCEL}));
    answer(refused, IDRETRY);
    const ShownMessage again = waitForMessageBox(uninstaller.id(), {asked.window, refused.window});
    EXPECT_EQ(again.text, closeText);
    EXPECT_EQ(differences(installed, snapshotMachine()), std::vector<std::wstring>{})
        << "nothing is removed while the product runs";

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(product.waitForExit(), std::optional<DWORD>(0));
    answer(again, IDRETRY);
    const ShownMessage done =
        waitForMessageBox(uninstaller.id(), {asked.window, refused.window, again.window});
    EXPECT_EQ(done.text, uninstallDone);
    const DWORD id = uninstaller.id();
    answer(done, IDOK);
    EXPECT_EQ(uninstaller.waitForExit(), std::optional<DWORD>(0));
    waitForItsChildren(id);
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, TruncatedLogRemovesNothing) {
    installQuickly();
    const std::wstring log = quickDestinations().installFolder + L"\\Uninstall.ulog";
    const DWORD attributes = fileAttributes(log);
    ASSERT_TRUE(::SetFileAttributesW(log.c_str(), FILE_ATTRIBUTE_NORMAL));
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(log));
    std::filesystem::resize_file(std::filesystem::path(log), size - 7);
    ASSERT_TRUE(::SetFileAttributesW(log.c_str(), attributes));
    const MachineState truncated = snapshotMachine();

    Installer uninstaller(uninstallString());
    const ShownMessage box = waitForMessageBox(uninstaller.id(), {});
    EXPECT_EQ(box.caption, uninstallCaption);
    EXPECT_EQ(box.text, L"The uninstall log cannot be read. Nothing was removed.\r\n\r\n" + log);
    answer(box, IDOK);
    EXPECT_EQ(uninstaller.waitForExit(), std::optional<DWORD>(ERROR_FILE_CORRUPT));
    EXPECT_EQ(differences(truncated, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, AsksInTheInstalledLanguageAndNoRemovesNothing) {
    installQuickly();
    // The language chosen at installation: French (index 0).
    HKEY key = nullptr;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, productUninstallKey.c_str(), 0, KEY_SET_VALUE, &key),
        ERROR_SUCCESS);
    const DWORD french = 0;
    ::RegSetValueExW(key, L"TwLanguage", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&french),
                     sizeof french);
    ::RegCloseKey(key);
    const MachineState installed = snapshotMachine();

    Installer uninstaller(uninstallString());
    const ShownMessage asked = waitForMessageBox(uninstaller.id(), {});
    EXPECT_EQ(asked.caption, L"Désinstaller Kelvane 3");
    EXPECT_EQ(asked.text,
              L"Voulez-vous supprimer Kelvane 3 et tous ses composants de votre ordinateur ?");
    answer(asked, IDNO);
    EXPECT_EQ(uninstaller.waitForExit(), std::optional<DWORD>(ERROR_CANCELLED));
    EXPECT_EQ(differences(installed, snapshotMachine()), std::vector<std::wstring>{});
}

// Puts entries in front of those of the installed log, as a damaged or
// forged log holds them; the log stays whole.
void prependLogEntries(const Destinations& destinations, const LogEntries& forged) {
    const UninstallLogFile log = readUninstallLog(destinations);
    ASSERT_TRUE(log.complete);
    LogEntries entries = forged;
    entries.insert(entries.end(), log.contents.entries.begin(), log.contents.entries.end());
    stampFixedPaths(entries, L"Kelvane 3");
    const std::vector<std::uint8_t> bytes = encodeLog(
        {log.contents.previousLabel, {}, log.contents.installPath, log.contents.shortcutPath},
        entries);
    const std::wstring path = destinations.installFolder + L"\\Uninstall.ulog";
    const DWORD attributes = fileAttributes(path);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    writeFile(path, bytes);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
}

TEST(Uninstall, EntriesOutsideTheInstallationAreLeftAndNeverMoved) {
    const Destinations destinations = quickDestinations();
    // What a damaged or forged log may name: files, shortcuts and a folder
    // elsewhere on C:, by an absolute path, a relative one (relative to the
    // uninstaller's current folder) and one that climbs out with "..".
    const std::filesystem::path outside = L"C:\\Outside";
    std::filesystem::create_directories(outside / L"Empty Folder");
    const std::vector<std::wstring> names = {
        L"Above.ini",         L"Data.ini",     L"Desktop.lnk",          L"Empty Folder",
        L"Kelvane 3.00g.lnk", L"Relative.ini", L"Uninstall Kelvane.lnk"};
    for (const std::wstring& name : names) {
        if (name != L"Empty Folder") {
            std::ofstream(outside / name) << "not the installation's\n";
        }
    }
    const auto at = [&](const wchar_t* name) { return (outside / name).wstring(); };
    const LogEntries forged = {
        {LogKind::File, at(L"Data.ini"), {}, true, payload::LanguageModule},
        {LogKind::File, L"Relative.ini", {}, true, payload::LanguageModule},
        {LogKind::File,
         destinations.installFolder + L"\\..\\..\\..\\Outside\\Above.ini",
         {},
         true,
         payload::LanguageModule},
        {LogKind::Folder, at(L"Empty Folder"), {}, true, -1},
        {LogKind::ProgramShortcut, at(L"Kelvane 3.00g.lnk"), {}, true, -1},
        {LogKind::UninstallShortcut, at(L"Uninstall Kelvane.lnk"), {}, true, -1},
        {LogKind::DesktopShortcut, at(L"Desktop.lnk"), {}, true, -1}};
    const MachineState before = snapshotMachine();
    installQuickly();
    prependLogEntries(destinations, forged);

    // The update meets the earlier shortcuts elsewhere first: it moves none.
    setInstalledVersion(destinations, 0x0003000000050000ull, L"3.00e");
    installQuickly();
    EXPECT_EQ(folderListing(outside.wstring()), names);
    // The update's log no longer holds the superseded shortcuts: forged again.
    prependLogEntries(destinations, forged);

    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryW(outside.c_str()));
    uninstallConfirmed();
    ::SetCurrentDirectoryW(current);
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, LinkInPlaceOfTheSharedFolderLeavesWhatItPointsTo) {
    const Destinations destinations = quickDestinations();
    installQuickly();
    // A user puts a link in place of the shared folder, to a folder elsewhere
    // that holds files of the same names and contents as the data files: the
    // uninstaller would remove them as the product's own.
    const std::wstring shared = shellFolder(CSIDL_COMMON_APPDATA) + L"\\Tarnwick\\Kelvane";
    const std::filesystem::path target = L"C:\\Target";
    std::filesystem::copy(shared, target, std::filesystem::copy_options::recursive);
    std::filesystem::remove_all(std::filesystem::path(shared));
    testing_support::makeFolderLink(shared, target.wstring());
    const MachineState linked = snapshotMachine();

    // The link is a folder the installation made: removing it removes only
    // the link on Windows. Wine removes the folder a link points to, which
    // fails while the target holds files, and the link stays.
    uninstallConfirmed({}, testing_support::runningUnderWine() ? std::vector<std::wstring>{shared}
                                                               : std::vector<std::wstring>{});
    const MachineState after = snapshotMachine();
    const std::wstring below = target.wstring() + L"\\";
    for (const auto& [item, description] : linked) {
        if (item == target.wstring() || item.starts_with(below)) {
            EXPECT_EQ(after.count(item) ? after.at(item) : L"(gone)", description)
                << std::string(item.begin(), item.end());
        }
    }
    EXPECT_EQ(fileAttributes(destinations.installFolder), INVALID_FILE_ATTRIBUTES);
}

TEST(Uninstall, WithoutACopyNothingIsLeftToTheNextStartUp) {
    const Destinations destinations = quickDestinations();
    installQuickly();
    // A temporary folder that does not exist: no copy can be made there.
    wchar_t temporary[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TMP", temporary, MAX_PATH);
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TMP", L"C:\\No Such Folder"));
    Installer uninstaller(uninstallString());
    ::SetEnvironmentVariableW(L"TMP", temporary);
    const ShownMessage asked = waitForMessageBox(uninstaller.id(), {});
    answer(asked, IDYES);
    const ShownMessage done = waitForMessageBox(uninstaller.id(), {asked.window});
    EXPECT_EQ(done.text, uninstallDone);
    answer(done, IDOK);

    // What the copy would have removed stays, and the user is told: Windows
    // is not to delete it at its next start-up, when a new installation may
    // be there.
    const ShownMessage left = waitForMessageBox(uninstaller.id(), {asked.window, done.window});
    EXPECT_EQ(left.caption, uninstallCaption);
    const std::wstring programs =
        destinations.installFolder.substr(0, destinations.installFolder.find_last_of(L'\\'));
    EXPECT_EQ(left.text, L"These could not be removed; you may delete them yourself:\r\n" +
                             destinations.uninstaller + L"\r\n" + destinations.installFolder +
                             L"\\Uninstall.ulog\r\n" + destinations.installFolder + L"\r\n" +
                             programs);
    answer(left, IDOK);
    EXPECT_EQ(uninstaller.waitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(folderListing(destinations.installFolder),
              (std::vector<std::wstring>{L"Uninstall.exe", L"Uninstall.ulog"}));
    for (const std::wstring& path :
         {destinations.uninstaller, destinations.installFolder, programs}) {
        EXPECT_FALSE(deletedAtStartUp(path)) << std::string(path.begin(), path.end());
    }
}

// The user's SID as text.
std::wstring currentUserSid() {
    const tw::WellKnownSid user(tw::TokenUserSid);
    wchar_t* text = nullptr;
    EXPECT_TRUE(::ConvertSidToStringSidW(user.get(), &text));
    const tw::unique_hlocal freed(text);
    return text != nullptr ? text : L"";
}

TEST(FolderRights, UninstallersCopyRunsFromAFolderOnlyAdministratorsChange) {
    const std::wstring trace = serverTracePath();
    ASSERT_FALSE(trace.empty()) << "the scenario runs with the Wine server's request trace";
    const MachineState before = snapshotMachine();
    installQuickly();
    const DWORD uninstaller = uninstallConfirmed();
    // The copy ran from a folder of its own, the only trace it leaves.
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});

    std::vector<CreatedWithDacl> folders = creationsWithDacl(trace, uninstaller);
    std::erase_if(folders, [](const CreatedWithDacl& created) {
        return !created.path.starts_with(temporaryFolder() + L"\\kvu{");
    });
    ASSERT_EQ(folders.size(), 1u) << "the copy's folder is created with a DACL of its own";
    EXPECT_EQ(folders[0].control & SE_DACL_PROTECTED, SE_DACL_PROTECTED)
        << "nothing is inherited from the temporary folder";
    // Write access for SYSTEM and Administrators only; the user reads and runs.
    const std::vector<TracedEntry> expected = {
        {L"ACCESS_ALLOWED", 3, FILE_ALL_ACCESS, L"S-1-5-18"},
        {L"ACCESS_ALLOWED", 3, FILE_ALL_ACCESS, L"S-1-5-32-544"},
        {L"ACCESS_ALLOWED", 3, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE, currentUserSid()}};
    EXPECT_EQ(folders[0].dacl, expected);
}

} // namespace
