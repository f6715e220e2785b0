#include "install/uninstall_log.h"

#include "install/log_format.h"
#include "install/shortcuts.h"
#include "payload/archive_entry.h"
#include "payload/compress_error.h"
#include "support/common_controls.h"
#include "support/product_code.h"
#include "support/unique_resource.h"
#include "file_contents.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using payload::DataFile;
using payload::LanguageModule;
using payload::MainProgram;
using payload::Sample;
using testing_support::fileContents;
using testing_support::ScratchFolder;
using testing_support::ScratchKey;
using testing_support::writeFile;

constexpr wchar_t scratchRoot[] = L"Software\\kv-test-journal";
constexpr wchar_t scratchUninstall[] = L"Software\\kv-test-journal\\Uninstall";
constexpr wchar_t scratchProductKey[] = L"Software\\kv-test-journal\\Uninstall\\Kelvane 3";

DWORD Attributes(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str());
}

bool Exists(const std::wstring& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

// Everything below a folder: each relative path with its attributes and, for
// files, its contents.
std::map<std::wstring, std::pair<DWORD, std::string>> Snapshot(const std::wstring& root) {
    std::map<std::wstring, std::pair<DWORD, std::string>> snapshot;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        const std::wstring path = item.path().wstring();
        const DWORD attributes = Attributes(path);
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        snapshot[path.substr(root.size())] = {attributes, folder ? std::string("<folder>")
                                                                 : fileContents(path).value_or("")};
    }
    return snapshot;
}

std::wstring ReadString(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[256] = {};
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return buffer;
}

bool KeyExists(HKEY root, const wchar_t* key) {
    tw::unique_hkey opened;
    return ::RegOpenKeyExW(root, key, 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    ASSERT_EQ(::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

// Creates (or opens) a key below HKEY_LOCAL_MACHINE.
void createKey(const std::wstring& path, tw::unique_hkey& key) {
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
}

// The product's key below the scratch uninstall key as an earlier
// installation left it, open.
void createEarlierProductKey(tw::unique_hkey& product) {
    ASSERT_NO_FATAL_FAILURE(createKey(scratchProductKey, product));
    SetString(product.get(), L"DisplayName", L"Kelvane 3.00f");
}

class UninstallLogTest : public testing::Test {
protected:
    void SetUp() override {
        tw::setProductCode(0x103);
        ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, scratchUninstall));
    }

    std::wstring At(const std::wstring& relative) const { return folder / relative; }

    ScratchKey root{HKEY_LOCAL_MACHINE, scratchRoot};
    ScratchKey uninstall{HKEY_LOCAL_MACHINE, scratchUninstall};
    ScratchFolder folder{L"journal"};
    UninstallLog log{
        UninstallKeyLocation{HKEY_LOCAL_MACHINE, scratchUninstall}, folder.path(), {folder.path()}};
};

TEST_F(UninstallLogTest, FailedRunRollsBackToExactlyTheEarlierState) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"K").c_str(), nullptr));
    writeFile(At(L"K\\lang.dll"), "old language module");
    writeFile(At(L"K\\Kelvane.exe"), "old program");
    writeFile(At(L"K\\notes.txt"), "not part of the payload");
    ::SetFileAttributesW(At(L"K\\lang.dll").c_str(),
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ::SetFileAttributesW(At(L"K\\Kelvane.exe").c_str(),
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const auto before = Snapshot(folder.path());

    const std::vector<std::pair<std::wstring, std::int32_t>> payload = {
        {L"K\\lang.dll", LanguageModule},
        {L"K\\Kelvane.exe", MainProgram},
        {L"K\\Lang\\de\\de.dll", LanguageModule},
        {L"K\\new.txt", Sample}};
    for (const auto& [relative, kind] : payload) {
        log.AddFile(At(relative), kind, false);
        writeFile(At(relative), "new contents of " + std::string(relative.begin(), relative.end()));
        log.CompleteLast(true);
    }
    // The last file fails half-way.
    log.AddFile(At(L"K\\Samples\\Deep\\sample.kv"), Sample, false);
    writeFile(At(L"K\\Samples\\Deep\\sample.kv"), "trunc");
    log.CompleteLast(false);

    std::vector<std::wstring> backups;
    for (const LogEntry& entry : log.newEntries) {
        if (!entry.backup.empty()) {
            backups.push_back(entry.backup);
            EXPECT_EQ(std::wstring(::PathFindFileNameW(entry.backup.c_str())).substr(0, 2), L"tw");
        }
    }
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(fileContents(backups[0]), "old language module");
    EXPECT_EQ(Attributes(backups[1]), before.at(L"\\K\\Kelvane.exe").first)
        << "attributes carried over";

    log.Rollback();

    EXPECT_EQ(Snapshot(folder.path()), before);
    EXPECT_TRUE(log.newEntries.empty());
    EXPECT_FALSE(log.pending);
    for (const auto& backup : backups) {
        EXPECT_FALSE(Exists(backup)) << "backup moved back";
    }
}

// Nothing was written over an existing data file, so a rollback leaves it
// exactly as it is then (contents, attributes, rights) and discards the copy.
TEST_F(UninstallLogTest, ExistingDataFileIsLoggedWithACopyAndLeftAsItIs) {
    const std::wstring data = At(L"shared.dat");
    writeFile(data, "the user's data");
    ::SetFileAttributesW(data.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    const DWORD attributes = Attributes(data);

    log.AddFile(data, DataFile, true);
    log.CompleteLast(true);

    ASSERT_EQ(log.newEntries.size(), 1u);
    const LogEntry& entry = log.newEntries.back();
    LogEntry expected{LogKind::File, data, entry.backup, true, DataFile};
    expected.backupCopied = true;
    EXPECT_EQ(entry, expected);
    ASSERT_FALSE(entry.backup.empty());
    EXPECT_EQ(fileContents(data), "the user's data") << "a copy leaves the file in place";
    EXPECT_EQ(Attributes(data), attributes);
    EXPECT_EQ(fileContents(entry.backup), "the user's data");
    EXPECT_EQ(Attributes(entry.backup), attributes);
    const std::wstring backup = entry.backup;

    ::SetFileAttributesW(data.c_str(), FILE_ATTRIBUTE_HIDDEN);
    log.Rollback();

    EXPECT_EQ(fileContents(data), "the user's data");
    EXPECT_EQ(Attributes(data) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN))
        << "the file is the one that was there, not the copy";
    EXPECT_FALSE(Exists(backup));
}

// A link an ordinary user put in a place of the run after a change there
// leads elsewhere: undoing the run does nothing through it.
TEST_F(UninstallLogTest, RollbackActsThroughNoLink) {
    const std::wstring place = At(L"Data");
    const std::wstring written = place + L"\\Kelvane\\settings.ini";
    log.Open({At(L"Program"), {place}, {}}, {});
    log.AddFile(written, DataFile, false);
    writeFile(written, "written by the run");
    log.CompleteLast(true);
    const std::wstring elsewhere = At(L"Elsewhere");
    std::filesystem::create_directories(std::filesystem::path(elsewhere));
    writeFile(elsewhere + L"\\settings.ini", "not the run's");
    ASSERT_TRUE(::MoveFileW((place + L"\\Kelvane").c_str(), (place + L"\\Moved").c_str()));
    testing_support::makeFolderLink(place + L"\\Kelvane", elsewhere);

    log.Rollback();
    EXPECT_EQ(fileContents(elsewhere + L"\\settings.ini"), "not the run's");
    testing_support::removeFolderLink(place + L"\\Kelvane");
}

// When the journal's folder cannot take a backup, an existing file stays
// where it is and a rollback does not delete it.
TEST_F(UninstallLogTest, FileThatCannotBeSavedAsideSurvivesRollback) {
    const std::wstring data = At(L"user.dat");
    writeFile(data, "the user's data");
    UninstallLog unsaved{UninstallKeyLocation{HKEY_LOCAL_MACHINE, scratchUninstall},
                         At(L"no such folder")};
    unsaved.AddFile(data, DataFile, true);
    unsaved.AddFile(At(L"K.exe"), MainProgram, false);
    unsaved.CompleteLast(true);

    ASSERT_EQ(unsaved.newEntries.size(), 2u);
    EXPECT_TRUE(unsaved.newEntries.front().backup.empty());
    EXPECT_TRUE(unsaved.newEntries.front().keptInPlace);
    EXPECT_FALSE(unsaved.newEntries.back().keptInPlace) << "nothing was there";
    writeFile(At(L"K.exe"), "new program");

    unsaved.Rollback();
    EXPECT_EQ(fileContents(data), "the user's data");
    EXPECT_FALSE(Exists(At(L"K.exe")));
}

// A read-only file that another process holds open without delete sharing
// can be neither moved aside nor replaced. Trying to write it clears its
// read-only attribute; the rollback leaves the file and puts that back.
TEST_F(UninstallLogTest, FileKeptInPlaceGetsItsAttributesBackOnRollback) {
    const std::wstring program = At(L"Kelvane.exe");
    writeFile(program, "the earlier program");
    ASSERT_TRUE(::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_READONLY));
    const tw::unique_file held(::CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
    ASSERT_TRUE(held);
    log.AddFile(program, MainProgram, false);
    ASSERT_TRUE(log.newEntries.back().keptInPlace);
    // What the extraction does before it opens the file for writing.
    ASSERT_TRUE(::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL));
    log.CompleteLast(false);

    log.Rollback();
    EXPECT_EQ(Attributes(program) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(fileContents(program), "the earlier program");
}

TEST_F(UninstallLogTest, AddFoldersRecordsEachCreatedLevel) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"a").c_str(), nullptr));
    log.AddFolders(At(L"a\\b\\c"));
    const LogEntries expected = {{LogKind::Folder, At(L"a\\b"), {}, true, -1},
                                 {LogKind::Folder, At(L"a\\b\\c"), {}, true, -1}};
    EXPECT_EQ(log.newEntries, expected);
    EXPECT_TRUE(journal::isFolder(At(L"a\\b\\c")));
    EXPECT_FALSE(log.pending) << "folders are complete when recorded";

    log.AddFolders(At(L"a\\b\\c"));
    EXPECT_EQ(log.newEntries.size(), 2u) << "existing folders are not recorded";
}

TEST_F(UninstallLogTest, AddFoldersStopsAtTheFirstFolderItCannotCreate) {
    writeFile(At(L"file"), "a file where a folder should be");
    log.AddFolders(At(L"new\\file\\x\\y"));
    log.AddFolders(At(L"file\\x\\y"));
    const LogEntries expected = {{LogKind::Folder, At(L"new"), {}, true, -1},
                                 {LogKind::Folder, At(L"new\\file"), {}, true, -1},
                                 {LogKind::Folder, At(L"new\\file\\x"), {}, true, -1},
                                 {LogKind::Folder, At(L"new\\file\\x\\y"), {}, true, -1}};
    EXPECT_EQ(log.newEntries, expected);
    EXPECT_FALSE(Exists(At(L"file\\x")));
}

// A folder that does not fit in MAX_PATH is refused as a whole: no folder
// with a cut name is made or recorded, and a file in it fails with error 7.
TEST_F(UninstallLogTest, AFolderThatDoesNotFitIsRefusedBeforeAnythingIsCreated) {
    std::wstring deep = folder.path();
    while (deep.size() < MAX_PATH) {
        deep += L"\\" + std::wstring(40, L'd');
    }
    EXPECT_FALSE(log.AddFolders(deep));
    try {
        log.AddFile(deep + L"\\Kelvane.exe", MainProgram, false);
        ADD_FAILURE() << "a file in a folder that does not fit was recorded";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), payload::make_error_code(payload::compress_errc::unexpected));
    }
    EXPECT_TRUE(log.newEntries.empty());
    EXPECT_FALSE(log.pending);
    EXPECT_TRUE(Snapshot(folder.path()).empty()) << "no folder was made";
}

TEST_F(UninstallLogTest, ShortcutReplacesTheEarlierOneAndRollbackPutsItBack) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"Menu").c_str(), nullptr));
    const std::wstring earlier = At(L"Menu\\Kelvane 3.00f.lnk");
    writeFile(earlier, "earlier shortcut");
    log.oldEntries = {{LogKind::DesktopShortcut, At(L"Desktop\\K.lnk"), {}, true, -1},
                      {LogKind::ProgramShortcut, earlier, {}, true, -1}};

    log.AddShortcut(static_cast<int>(ShortcutWhich::ProgramInMenu), At(L"Menu"));
    ASSERT_EQ(log.newEntries.size(), 1u);
    EXPECT_FALSE(log.newEntries.back().backup.empty());
    EXPECT_FALSE(Exists(earlier)) << "moved aside";
    const std::wstring created = At(L"Menu\\Kelvane 3.00g.lnk");
    writeFile(created, "new shortcut");
    log.CompleteLast(true, created);
    EXPECT_EQ(log.newEntries.back().path, created);

    log.Rollback();
    EXPECT_FALSE(Exists(created));
    EXPECT_EQ(fileContents(earlier), "earlier shortcut") << "back under its own name";
}

TEST_F(UninstallLogTest, ShortcutNotCreatedGetsItsEarlierOneBackWhereItWas) {
    const std::wstring earlier = At(L"Desktop\\Kelvane.lnk");
    ASSERT_TRUE(::CreateDirectoryW(At(L"Desktop").c_str(), nullptr));
    writeFile(earlier, "earlier desktop shortcut");
    ::SetFileAttributesW(earlier.c_str(), FILE_ATTRIBUTE_READONLY);
    const DWORD attributes = Attributes(earlier);
    log.oldEntries = {{LogKind::DesktopShortcut, earlier, {}, true, -1}};

    log.AddShortcut(static_cast<int>(ShortcutWhich::ProgramOnDesktop), At(L"Desktop"));
    EXPECT_FALSE(Exists(earlier));
    log.CompleteLast(false, At(L"Desktop\\never made.lnk"));
    EXPECT_TRUE(log.newEntries.back().path.empty());

    log.Rollback();
    EXPECT_EQ(fileContents(earlier), "earlier desktop shortcut");
    EXPECT_EQ(Attributes(earlier), attributes);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(UninstallLogTest, ExistingUninstallKeyIsSavedAndRestored) {
    {
        tw::unique_hkey product;
        ASSERT_NO_FATAL_FAILURE(createEarlierProductKey(product));
    }
    tw::unique_hkey product;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, scratchProductKey, 0, KEY_ALL_ACCESS, product.put()),
        ERROR_SUCCESS);
    log.AddUninstallKey(product.get());
    SetString(product.get(), L"DisplayName", L"Kelvane 3.00g");
    SetString(product.get(), L"UninstallString", L"C:\\K\\Uninstall.exe");
    product.reset();
    log.CompleteLast(true);

    ASSERT_EQ(log.newEntries.size(), 1u);
    const std::wstring hive = log.newEntries.back().backup;
    ASSERT_FALSE(hive.empty());
    EXPECT_TRUE(Exists(hive)) << "the key was saved to a hive file";
    EXPECT_TRUE(log.newEntries.back().done);

    log.Rollback();

    EXPECT_FALSE(Exists(hive)) << "the hive file is deleted after the restore";
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, scratchProductKey));
    if (tw::runningUnderWine()) {
        GTEST_SKIP() << "Wine's RegRestoreKeyW reports success but restores nothing";
    }
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, scratchProductKey, L"DisplayName"), L"Kelvane 3.00f");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, scratchProductKey, L"UninstallString"), L"<missing>");
}

// An earlier installation's key that cannot be saved (the journal's folder
// takes no backup) stays as it is: a failed update keeps the product in the
// list of programs.
TEST_F(UninstallLogTest, ExistingUninstallKeyThatCannotBeSavedSurvivesRollback) {
    tw::unique_hkey product;
    ASSERT_NO_FATAL_FAILURE(createEarlierProductKey(product));
    UninstallLog unsaved{UninstallKeyLocation{HKEY_LOCAL_MACHINE, scratchUninstall},
                         At(L"no such folder")};
    unsaved.AddUninstallKey(product.get());
    SetString(product.get(), L"DisplayName", L"Kelvane 3.00g");
    product.reset();
    unsaved.CompleteLast(true);
    ASSERT_TRUE(unsaved.newEntries.back().backup.empty());

    unsaved.Rollback();

    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, scratchProductKey));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, scratchProductKey, L"DisplayName"), L"Kelvane 3.00g")
        << "left as it is";
}

TEST_F(UninstallLogTest, NewUninstallKeyIsDeletedWithItsSubkeys) {
    log.AddUninstallKey(nullptr);
    {
        tw::unique_hkey sub;
        ASSERT_NO_FATAL_FAILURE(createKey(std::wstring(scratchProductKey) + L"\\Sub\\Deeper", sub));
        SetString(sub.get(), L"Value", L"x");
    }
    log.CompleteLast(true);
    EXPECT_TRUE(log.newEntries.back().backup.empty());

    log.Rollback();

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, scratchProductKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, scratchUninstall)) << "the parent stays";
}

TEST_F(UninstallLogTest, MakeBackupWithoutPathGivesAFreeName) {
    const std::wstring name = log.MakeBackup({}, false);
    ASSERT_FALSE(name.empty());
    EXPECT_FALSE(Exists(name));
    EXPECT_EQ(std::wstring(::PathFindFileNameW(name.c_str())).substr(0, 2), L"tw");
    EXPECT_TRUE(log.MakeBackup(At(L"missing.txt"), true).empty());
    EXPECT_TRUE(log.MakeBackup(At(L"missing.txt"), false).empty());
}

TEST_F(UninstallLogTest, WriteProducesTheLogFileAndDeletesBackups) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"K").c_str(), nullptr));
    writeFile(At(L"K\\Kelvane.exe"), "old program");
    log.AddFile(At(L"K\\Kelvane.exe"), MainProgram, false);
    writeFile(At(L"K\\Kelvane.exe"), "new program");
    log.CompleteLast(true);
    log.AddUninstallKey(nullptr);
    log.CompleteLast(true);
    log.AddFileAssociations();
    log.CompleteLast(false);
    const std::wstring backup = log.newEntries.front().backup;
    ASSERT_TRUE(Exists(backup));

    // An earlier read-only log is replaced.
    const std::wstring logPath = At(L"K\\Uninstall.ulog");
    writeFile(logPath, "earlier log");
    ::SetFileAttributesW(logPath.c_str(), FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(log.Write(logPath, At(L"K"), At(L"Menu")));

    const DWORD attributes = Attributes(logPath);
    if (tw::runningUnderWine()) {
        // Wine keeps no not-content-indexed bit: it reports only read-only and archive.
        EXPECT_EQ(attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED), 0x21u);
    } else {
        EXPECT_EQ(attributes, 0x2021u);
    }
    EXPECT_FALSE(Exists(backup));
    EXPECT_TRUE(log.newEntries.front().backup.empty());
    const LogEntries expected = {
        {LogKind::File, At(L"K\\Kelvane.exe"), {}, true, MainProgram},
        {LogKind::UninstallKey, std::wstring(uninstallKeyLogPrefix) + L"Kelvane 3", {}, true, -1},
        {LogKind::FileAssociations, fileAssociationsLogText, {}, false, -1},
    };
    EXPECT_EQ(log.newEntries, expected);
    const auto bytes = encodeLog({L"Kelvane 3.00g", L"", At(L"K"), At(L"Menu")}, expected);
    EXPECT_EQ(fileContents(logPath), std::string(bytes.begin(), bytes.end()));
}

// Once Write has merged the earlier installation's entries, a rollback (of a
// step that fails after it) undoes nothing: neither installation loses files
// or its key.
TEST_F(UninstallLogTest, RollbackAfterWriteKeepsTheEarlierInstallation) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"K").c_str(), nullptr));
    writeFile(At(L"K\\old.dll"), "left from the earlier version");
    tw::unique_hkey product;
    ASSERT_NO_FATAL_FAILURE(createEarlierProductKey(product));
    product.reset();
    const LogEntries earlier = {{LogKind::Folder, At(L"K"), {}, true, -1},
                                {LogKind::File, At(L"K\\old.dll"), {}, true, LanguageModule},
                                {LogKind::UninstallKey, L"", {}, true, -1}};
    writeFile(At(L"earlier.ulog"), encodeLog({L"Kelvane 3.00f", L"", At(L"K"), At(L"")}, earlier));
    log.Load(At(L"earlier.ulog"));
    log.AddFile(At(L"K\\Kelvane.exe"), MainProgram, false);
    writeFile(At(L"K\\Kelvane.exe"), "new program");
    log.CompleteLast(true);
    ASSERT_TRUE(log.Write(At(L"K\\Uninstall.ulog"), At(L"K"), At(L"")));
    const auto written = Snapshot(folder.path());

    log.Rollback();

    EXPECT_EQ(Snapshot(folder.path()), written);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, scratchProductKey, L"DisplayName"), L"Kelvane 3.00f");
}

TEST_F(UninstallLogTest, WriteThatCannotCreateTheFileStillDeletesBackups) {
    writeFile(At(L"data.dat"), "data");
    log.AddFile(At(L"data.dat"), DataFile, true);
    log.CompleteLast(true);
    const std::wstring backup = log.newEntries.back().backup;
    ASSERT_TRUE(Exists(backup));

    EXPECT_FALSE(log.Write(At(L"no such folder\\Uninstall.ulog"), At(L""), At(L"")));
    EXPECT_FALSE(Exists(backup));
    EXPECT_EQ(fileContents(At(L"data.dat")), "data");
}

TEST_F(UninstallLogTest, LoadKeepsFoldersThatStillExist) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"K").c_str(), nullptr));
    const LogEntries entries = {{LogKind::Folder, At(L"K"), {}, true, -1},
                                {LogKind::File, At(L"K\\a.dat"), {}, true, DataFile},
                                {LogKind::UninstallKey, L"HKEY_LOCAL_MACHINE\\x", {}, true, -1}};
    writeFile(At(L"earlier.ulog"),
              encodeLog({L"Kelvane 3.00f", L"Kelvane 3.00e", At(L"K"), At(L"gone")}, entries));

    log.Load(At(L"earlier.ulog"));

    EXPECT_EQ(log.installPath, At(L"K"));
    EXPECT_TRUE(log.shortcutPath.empty()) << "that folder no longer exists";
    EXPECT_EQ(log.previousLabel, L"Kelvane 3.00f");
    ASSERT_EQ(log.oldEntries.size(), 3u);
    EXPECT_TRUE(log.oldEntries.back().path.empty());
    EXPECT_TRUE(log.WasInstalledBefore(At(L"K\\a.dat")));
}

// A relative folder in the log would resolve against the current folder,
// where it may well exist: it is not taken.
TEST_F(UninstallLogTest, LoadTakesNoRelativeFolder) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"K").c_str(), nullptr));
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.path().c_str()));
    writeFile(At(L"relative.ulog"), encodeLog({L"Kelvane 3.00f", L"", L"K", L"K"}, {}));

    log.Load(At(L"relative.ulog"));

    EXPECT_TRUE(log.installPath.empty());
    EXPECT_TRUE(log.shortcutPath.empty());
    ::SetCurrentDirectoryW(L"C:\\");
}

TEST_F(UninstallLogTest, LoadReadsAnAnsiLog) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"Menu").c_str(), nullptr));
    const std::wstring wide = L"// Uninstall Log File v1\r\n// W\r\n// Install Kelvane 3.00e\r\n"
                              L"// Install Path : " +
                              At(L"missing") + L"\r\n// Shortcut Path : " + At(L"Menu") +
                              L"\r\n// -\r\n0000:0101:1 -- " + At(L"K.exe") + L"\r\n";
    ASSERT_TRUE(std::all_of(wide.begin(), wide.end(), [](wchar_t c) { return c < 0x80; }));
    writeFile(At(L"ansi.ulog"), std::string(wide.begin(), wide.end()));

    log.Load(At(L"ansi.ulog"));

    EXPECT_TRUE(log.installPath.empty());
    EXPECT_EQ(log.shortcutPath, At(L"Menu"));
    EXPECT_EQ(log.previousLabel, L"Kelvane 3.00e");
    const LogEntries expected = {{LogKind::File, At(L"K.exe"), {}, true, MainProgram}};
    EXPECT_EQ(log.oldEntries, expected);
}

TEST_F(UninstallLogTest, LoadWithoutALogEmptiesTheFolders) {
    log.installPath = L"C:\\stale";
    log.shortcutPath = L"C:\\stale";
    log.Load(At(L"no such.ulog"));
    EXPECT_TRUE(log.installPath.empty());
    EXPECT_TRUE(log.shortcutPath.empty());
    log.installPath = L"C:\\stale";
    log.Load({});
    EXPECT_TRUE(log.installPath.empty());
    EXPECT_TRUE(log.oldEntries.empty());
}

TEST_F(UninstallLogTest, UpdateMergesTheEarlierLog) {
    ASSERT_TRUE(::CreateDirectoryW(At(L"K").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(At(L"K\\Lang").c_str(), nullptr));
    writeFile(At(L"K\\old.dll"), "left from the earlier version");
    // The earlier log names a folder and a file in other letter case; both
    // exist once this run has made them, so they are the same by file identity.
    const LogEntries earlier = {{LogKind::Folder, At(L"K\\LANG\\DE"), {}, true, -1},
                                {LogKind::File, At(L"K\\old.dll"), {}, true, LanguageModule},
                                {LogKind::File, At(L"K\\KELVANE.EXE"), {}, true, MainProgram},
                                {LogKind::DesktopShortcut, At(L"Old Desktop\\K.lnk"), {}, true, -1},
                                {LogKind::UninstallKey, L"", {}, true, -1}};
    writeFile(At(L"earlier.ulog"),
              encodeLog({L"Kelvane 3.00f", L"Kelvane 3.00e", At(L"K"), At(L"")}, earlier));
    log.Load(At(L"earlier.ulog"));
    ASSERT_EQ(log.previousLabel, L"Kelvane 3.00f");

    log.AddFile(At(L"K\\Lang\\de\\de.dll"), LanguageModule, false);
    writeFile(At(L"K\\Lang\\de\\de.dll"), "de");
    log.CompleteLast(true);
    log.AddFile(At(L"K\\Kelvane.exe"), MainProgram, false);
    writeFile(At(L"K\\Kelvane.exe"), "new program");
    log.CompleteLast(true);
    log.AddShortcut(static_cast<int>(ShortcutWhich::ProgramOnDesktop), At(L"Desktop"));
    log.CompleteLast(true, At(L"Desktop\\Kelvane 3.00g.lnk"));
    ASSERT_TRUE(log.Write(At(L"K\\Uninstall.ulog"), At(L"K"), At(L"Menu")));

    std::vector<std::wstring> paths;
    for (const LogEntry& entry : log.newEntries) {
        paths.push_back(entry.path);
    }
    const std::vector<std::wstring> expected = {At(L"K\\old.dll"),
                                                std::wstring(uninstallKeyLogPrefix) + L"Kelvane 3",
                                                At(L"K\\Lang\\de"),
                                                At(L"K\\Lang\\de\\de.dll"),
                                                At(L"K\\Kelvane.exe"),
                                                At(L"Desktop"),
                                                At(L"Desktop\\Kelvane 3.00g.lnk")};
    EXPECT_EQ(paths, expected);

    const std::wstring line3 = L"// Install Kelvane 3.00g -- Update (Kelvane 3.00f)\r\n";
    std::string line3Bytes;
    for (const wchar_t c : line3) {
        line3Bytes += {static_cast<char>(c), '\0'};
    }
    EXPECT_NE(fileContents(At(L"K\\Uninstall.ulog")).value_or("").find(line3Bytes),
              std::string::npos);

    UninstallLog reread;
    reread.Load(At(L"K\\Uninstall.ulog"));
    EXPECT_EQ(reread.previousLabel, L"Kelvane 3.00g");
    EXPECT_EQ(reread.installPath, At(L"K"));
    EXPECT_EQ(reread.oldEntries.size(), expected.size());
}

} // namespace
