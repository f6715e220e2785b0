// The product's uninstaller, started as Windows starts it (the UninstallString
// of the product's uninstall key), over installations made by the installer
// under test: it removes everything the installation added, so the round trip
// proves the uninstall log complete.
#include "installation.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using namespace e2e;

const std::wstring productKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvane 3";
const std::wstring caption = L"Uninstall Kelvane 3";
const std::wstring question =
    L"Do you want to remove Kelvane 3 and all of its components from your computer?";
const std::wstring removed = L"Kelvane 3 was removed from your computer.";

std::wstring uninstallString() {
    const std::optional<RegistryValue> value =
        registryValue(HKEY_LOCAL_MACHINE, productKey, L"UninstallString");
    if (!value || value->type != REG_SZ) {
        ADD_FAILURE() << "no UninstallString";
        return {};
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(value->data.data()),
                      value->data.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

// The uninstaller started, asked, and answered Yes; it ends after saying
// what it removed and which changed files it kept, and its copy ends too.
void uninstallConfirmed(const std::vector<std::wstring>& kept = {}) {
    Installer uninstaller(uninstallString());
    const ShownMessage asked = waitForMessageBox(uninstaller.id(), {});
    EXPECT_EQ(asked.caption, caption);
    EXPECT_EQ(asked.text, question);
    EXPECT_EQ(asked.buttons, (std::vector<int>{IDYES, IDNO}));
    answer(asked, IDYES);
    const ShownMessage done = waitForMessageBox(uninstaller.id(), {asked.window});
    std::wstring expected = removed;
    if (!kept.empty()) {
        expected += L"\r\n\r\nThese files were changed after the installation and were kept:";
        for (const std::wstring& path : kept) {
            expected += L"\r\n" + path;
        }
    }
    EXPECT_EQ(done.text, expected);
    const DWORD id = uninstaller.id();
    answer(done, IDOK);
    EXPECT_EQ(uninstaller.waitForExit(), std::optional<DWORD>(0));
    waitForItsChildren(id);
}

// Whether Windows is to delete the file at its next start-up.
bool deletedAtStartUp(const std::wstring& path) {
    const std::optional<RegistryValue> pending =
        registryValue(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                      L"PendingFileRenameOperations");
    if (!pending) {
        return false;
    }
    const std::wstring names(reinterpret_cast<const wchar_t*>(pending->data.data()),
                             pending->data.size() / sizeof(wchar_t));
    return names.find(L"\\??\\" + path + std::wstring(1, L'\0') + std::wstring(1, L'\0')) !=
           std::wstring::npos;
}

// What changed, but the uninstaller's copy in the temporary folder, which is
// there until Windows deletes it at its next start-up.
std::vector<std::wstring> changesButTheCopy(const MachineState& before, const MachineState& after) {
    std::vector<std::wstring> changes = differences(before, after);
    const std::wstring prefix = L"+ " + temporaryFolder() + L"\\kvu";
    const auto copy = std::find_if(changes.begin(), changes.end(), [&](const std::wstring& line) {
        return line.starts_with(prefix);
    });
    if (copy == changes.end()) {
        ADD_FAILURE() << "no copy of the uninstaller in the temporary folder";
        return changes;
    }
    const std::wstring path = copy->substr(2, copy->find(L": ") - 2);
    EXPECT_TRUE(deletedAtStartUp(path)) << path;
    changes.erase(copy);
    return changes;
}

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
    EXPECT_EQ(asked.text, question);
    answer(asked, IDYES);
    const std::wstring closeText = L"Please close Kelvane 3 before removing it.";
    const ShownMessage refused = waitForMessageBox(uninstaller.id(), {asked.window});
    EXPECT_EQ(refused.caption, caption);
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
    EXPECT_EQ(done.text, removed);
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
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, L"The uninstall log cannot be read. Nothing was removed.\r\n\r\n" + log);
    answer(box, IDOK);
    EXPECT_EQ(uninstaller.waitForExit(), std::optional<DWORD>(ERROR_FILE_CORRUPT));
    EXPECT_EQ(differences(truncated, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Uninstall, AsksInTheInstalledLanguageAndNoRemovesNothing) {
    installQuickly();
    // The language chosen at installation: French (index 0).
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, productKey.c_str(), 0, KEY_SET_VALUE, &key),
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
