// The product's uninstaller, started as Windows starts it (the UninstallString
// of the product's uninstall key), over installations made by the installer
// under test: it removes everything the installation added, so the round trip
// proves the uninstall log complete.
#include "installation.h"
#include "test_support.h"
#include "uninstallation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;

void setInstalledVersion(const std::wstring& program, std::uint64_t version,
                         const std::wstring& productVersion) {
    ASSERT_TRUE(::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL));
    testing_support::setProgramVersion(program, version, productVersion);
    ASSERT_TRUE(::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_READONLY));
}

TEST(Uninstall, QuickInstallationLeavesNothing) {
    const MachineState before = snapshotMachine();
    installQuickly();
    uninstallConfirmed();
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, UpdatedInstallationLeavesNothing) {
    const MachineState before = snapshotMachine();
    installQuickly();
    setInstalledVersion(quickDestinations().mainProgram, 0x0003000000050000ull, L"3.00e");
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
    const std::string usersText = "[Kelvane]\r\nTheme=the user's own\r\n";
    std::ofstream(std::filesystem::path(changed), std::ios::binary | std::ios::app) << usersText;

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
    EXPECT_NE(fileContents(changed).value_or("").find(usersText), std::string::npos);
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

} // namespace
