#pragma once
// The file-system and registry work of the installation journal: folders,
// backups in the journal's folder, the saved uninstall key and registry
// values, files replaced whole, and carrying out the undo steps that
// JournalRecords plans.

#include "install/journal_records.h"
#include "install/log_format.h"
#include "install/uninstall_key.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Where the product's uninstall key lives: root\parent\<product key name>.
struct UninstallKeyLocation {
    HKEY root = HKEY_LOCAL_MACHINE;
    std::wstring parent = uninstall_key::listPath;
};

namespace journal {

// True when path names an existing folder.
bool isFolder(const std::wstring& path);

// True when path names an existing file (not a folder).
bool isFile(const std::wstring& path);

// Creates one folder and tells the shell about it. False when it could not.
bool createFolder(const std::wstring& folder);

// A unique name "tw....tmp" in folder for a backup; no file is left under it.
// Empty when the folder cannot take one.
std::wstring reserveBackupName(const std::wstring& folder);

// Copies or moves the file at path to backup, carrying its attributes over.
// False when that fails; the file then keeps its attributes.
bool saveAside(const std::wstring& path, const std::wstring& backup, bool copy);

// reserveBackupName, then with a path, saveAside of that file; empty when
// either fails.
std::wstring makeBackupFile(const std::wstring& folder, const std::wstring& path, bool copy);

// Saves a registry key to the hive file backup, under the backup privilege.
// False, with no file left, when it could not be saved.
bool saveKeyBackup(HKEY key, const std::wstring& backup);

// What the value of a key (named with its root, as "HKEY_CLASSES_ROOT\\.kvd")
// holds now, and the outermost key on its way that does not exist. Raises
// std::system_error when the value cannot be read.
SavedValue saveValue(const std::wstring& key, const std::wstring& name);

// Clears the attributes of a backup file and deletes it.
void deleteBackupFile(const std::wstring& path);

// Carries out one undo step. Failures are ignored: the next step still runs.
void undo(const UndoStep& step, const UninstallKeyLocation& keys) noexcept;

// One piece of a file being written: false when the system wrote less.
using PieceWriter = std::function<bool(HANDLE file, const std::uint8_t* data, DWORD size)>;
bool writePiece(HANDLE file, const std::uint8_t* data, DWORD size);

// Writes bytes to the new file beside it (path followed by ".new") through
// write, flushes it to disk and gives it attributes. False, with no new file
// left, when any of that fails.
bool writeNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes, DWORD attributes,
                  const PieceWriter& write = writePiece);

// The name writeNewFile writes path's new content to.
std::wstring newFileOf(const std::wstring& path);

// Moves the new file of path over path (MoveFileExW, replacing it and
// returning only once the move is on disk): path then holds either what it
// held or the whole new content. False when the move failed.
bool replaceWithNewFile(const std::wstring& path);

// The uninstall log's attributes: read-only, archive, not content-indexed.
constexpr DWORD logFileAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Reads an earlier log; nothing when it cannot be opened. 8-bit text is
// widened in the thread's ANSI code page.
std::optional<LogContents> readLogFile(const std::wstring& path);

} // namespace journal
