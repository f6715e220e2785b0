#pragma once
// The installation journal and the uninstall log: reads the earlier
// installation's log, records every change of this run with a backup of what
// it replaces, and either undoes the run or writes the merged log.
//
// Calling order in one run: Load at start-up; Open; adding operations, each
// followed by CompleteLast; then exactly one of Rollback or Write. Once Open
// has succeeded, every change is recorded in the journal file (journal_file.h)
// before it is made, and Rollback or Write removes that file: a run that
// never got there is undone by the next one (recovery.h).

#include "install/installation_places.h"
#include "install/journal_executor.h"
#include "install/journal_file.h"
#include "install/journal_records.h"
#include "install/shortcut_places.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class UninstallLog : public JournalRecords {
public:
    // A journal for the product's uninstall key, with its file and backups in
    // the product's journal folder (journal::defaultFolder), that moves earlier
    // shortcuts aside only from below the start menus and desktops
    // (shortcutPlaces).
    UninstallLog() = default;
    // A journal whose uninstall key and folder are elsewhere and that moves
    // earlier shortcuts aside only from below shortcutFolders (tests use a
    // scratch key and folders); no folder: the product's.
    explicit UninstallLog(UninstallKeyLocation uninstallKeys, std::wstring folder = {},
                          std::vector<std::wstring> shortcutFolders = shortcutPlaces());

    // Reads an earlier log (path empty: none): its folders when they are
    // absolute and still exist, its product label, its entries. A missing or
    // malformed log yields less or nothing; nothing is reported.
    void Load(const std::wstring& path);

    // Starts keeping the journal file of a run into places (its installation
    // folder, where its data files and shortcuts go) whose temporary folder
    // is tempFolder: prepares the journal folder (journal::prepareFolder) and
    // writes the file. Raises std::system_error when either fails; nothing
    // has been changed then.
    void Open(const InstallationPlaces& places, const std::wstring& tempFolder);

    // Takes up the run that the journal file of an interrupted run describes,
    // so that Rollback undoes it and removes the file.
    void Resume(const JournalImage& image);

    // Writes the log file in place of the earlier one, with the earlier
    // entries merged into this run's, then ends the run: removes the journal
    // file and deletes every backup, whatever the outcome. True when the log
    // was written whole; otherwise the earlier log stays as it was.
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
    // plannedFile, when given, is the file it will be: the journal file names
    // it until CompleteLast says whether it was made.
    void AddShortcut(int which, const std::wstring& folder, const std::wstring& plannedFile = {});

    // Records the product's uninstall key; existingKey, when the key was
    // opened rather than created, is saved to a hive file first.
    void AddUninstallKey(HKEY existingKey);

    // The change the last adding operation began was not attempted after
    // all: its entry goes.
    void WithdrawLast();

    // Records the file associations the main program is about to register.
    void AddFileAssociations();

    // Records a registry value (its key named with its root) that the run is
    // about to set, with what it holds now, so that undoing the run puts that
    // back.
    void SaveValue(const std::wstring& key, const std::wstring& name);

    // Records the DACL of a file or folder as the grant of the Users group
    // read it (folder_rights.h), before the grant changes it, so that undoing
    // the run puts it back.
    void SaveAccess(const std::wstring& path, const std::vector<std::uint8_t>& descriptor);

    void CompleteLast(bool done, const std::wstring& path = {});

    // Undoes this run's changes newest first, empties newEntries and ends the
    // run: removes the journal file, the backups left and the run's temporary
    // folder with what it holds (removeFolderTree). A change whose path a
    // link now leads to from the place it lies in is left as it is.
    void Rollback();

    // Where this journal's uninstall key lives.
    const UninstallKeyLocation& uninstallKeys() const noexcept { return uninstallKeys_; }

    // See journal::makeBackupFile, in this journal's folder; path empty: only
    // a fresh name.
    std::wstring MakeBackup(const std::wstring& path, bool copy);

private:
    // Writes the journal file when the run keeps one. Raises std::system_error
    // when it cannot: the change it announces must not be made then.
    void record();
    void endRun();
    // Whether a link (links.h) lies between the run's place that holds path
    // and the folder of path.
    bool reachedThroughLink(const std::wstring& path) const;
    // The folder of the journal file and the backups.
    const std::wstring& journalFolder();

    UninstallKeyLocation uninstallKeys_;
    std::wstring folder_;
    bool recording_ = false;
    JournalImage run_;
    // Where the earlier shortcuts that AddShortcut moves aside may lie.
    InstallationPlaces shortcutPlaces_{{}, {}, shortcutPlaces()};
};
