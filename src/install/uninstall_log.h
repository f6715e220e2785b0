#pragma once
// The installation journal and the uninstall log: reads the earlier
// installation's log, records every change of this run with a backup of what
// it replaces, and either undoes the run or writes the merged log.
//
// Calling order in one run: Load at start-up; adding operations, each followed
// by CompleteLast; then exactly one of Rollback or Write.

#include "install/installation_places.h"
#include "install/journal_executor.h"
#include "install/journal_records.h"
#include "install/shortcut_places.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class UninstallLog : public JournalRecords {
public:
    // A journal for the product's uninstall key that moves earlier shortcuts
    // aside only from below the start menus and desktops (shortcutPlaces).
    UninstallLog() = default;
    // A journal whose uninstall key lives elsewhere and that moves earlier
    // shortcuts aside only from below shortcutFolders (tests use a scratch
    // key and folder).
    explicit UninstallLog(UninstallKeyLocation uninstallKeys,
                          std::vector<std::wstring> shortcutFolders = shortcutPlaces());

    // Reads an earlier log (path empty: none): its folders when they are
    // absolute and still exist, its product label, its entries. A missing or
    // malformed log yields less or nothing; nothing is reported.
    void Load(const std::wstring& path);

    // Merges the earlier entries into this run's, writes the log file and
    // deletes every backup, whatever the outcome. True when the file was
    // created and completely written.
    bool Write(const std::wstring& logPath, const std::wstring& installFolder,
               const std::wstring& shortcutFolder);

    // Creates and records every missing folder on the way to folder. False,
    // with nothing created, when the folder does not fit in MAX_PATH.
    bool AddFolders(const std::wstring& folder);

    // Records a payload file about to be written (payloadKind: its kind in
    // the archive) with its folders; an existing file is copied aside when
    // copyBackup, else moved aside. A folder that does not fit in MAX_PATH
    // raises error 7 of the compress category before anything is recorded.
    void AddFile(const std::wstring& path, std::int32_t payloadKind, bool copyBackup);

    // Records a shortcut about to be created in folder (which: 0 program in the
    // start menu, 1 uninstaller in the start menu, 2 program on the desktop)
    // and moves the earlier installation's shortcut of that kind aside.
    void AddShortcut(int which, const std::wstring& folder);

    // Records the product's uninstall key; existingKey, when the key was
    // opened rather than created, is saved to a hive file first.
    void AddUninstallKey(HKEY existingKey);

    // Records the file associations the main program is about to register.
    void AddFileAssociations();

    // Undoes this run's changes newest first and empties newEntries.
    void Rollback();

    // Where this journal's uninstall key lives.
    const UninstallKeyLocation& uninstallKeys() const noexcept { return uninstallKeys_; }

    // See journal::makeBackupFile; path empty: only a fresh name.
    std::wstring MakeBackup(const std::wstring& path, bool copy);

private:
    UninstallKeyLocation uninstallKeys_;
    // Where the earlier shortcuts that AddShortcut moves aside may lie.
    InstallationPlaces shortcutPlaces_{{}, {}, shortcutPlaces()};
};
