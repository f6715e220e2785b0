#pragma once
// The file-system and registry work of the installation journal: folders,
// backups in the temporary folder, the saved uninstall key, the log file, and
// carrying out the undo steps that JournalRecords plans.

#include "install/journal_records.h"
#include "install/log_format.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where the product's uninstall key lives: root\parent\<product key name>.
struct UninstallKeyLocation {
    HKEY root = HKEY_LOCAL_MACHINE;
    std::wstring parent = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
};

namespace journal {

// True when path names an existing folder.
bool isFolder(const std::wstring& path);

// True when path names an existing file (not a folder).
bool isFile(const std::wstring& path);

// Creates every missing folder on the way to folder, below its first component
// (the drive root), and tells the shell about each. The folder must fit in a
// MAX_PATH buffer. Stops at the first folder that cannot be created.
// Returns the folders created, outermost first.
std::vector<std::wstring> createMissingFolders(const std::wstring& folder);

// A unique name "tw....tmp" in the temporary folder; with a path, that file
// copied or moved there, its attributes carried over. Empty when the
// temporary folder is unusable or the copy or move fails (the source then
// keeps its attributes). No file is left under the name when path is empty.
std::wstring makeBackupFile(const std::wstring& path, bool copy);

// Saves a registry key to a hive file in the temporary folder, under the
// backup privilege. Empty when it could not be saved.
std::wstring saveKeyBackup(HKEY key);

// Clears the attributes of a backup file and deletes it.
void deleteBackupFile(const std::wstring& path);

// Carries out one undo step. Failures are ignored: the next step still runs.
void undo(const UndoStep& step, const UninstallKeyLocation& keys) noexcept;

// Replaces the file at path (even a read-only one) with bytes, not shared
// while written, then makes it read-only, archive and not content-indexed.
// True when it was created and every byte written.
bool writeLogFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

// Reads an earlier log; nothing when it cannot be opened. 8-bit text is
// widened in the thread's ANSI code page.
std::optional<LogContents> readLogFile(const std::wstring& path);

} // namespace journal
