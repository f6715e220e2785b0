#pragma once
// The installation journal as data: the entry lists and the rules on them
// (completing, merging an earlier log, planning the undo of a failed run).
// UninstallLog adds the file-system and registry work on top.

#include "install/log_entry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A registry value that the run is about to set, with what it held before.
// Undoing the run puts the earlier data back, or deletes the value when there
// was none, and then deletes createdKey with everything below it: the
// outermost key on the value's path that did not exist, so that only the run
// made it.
struct SavedValue {
    // The value's key with its root, as "HKEY_LOCAL_MACHINE\\Software\\Tarnwick".
    std::wstring key;
    // The value's name; empty for the key's default value.
    std::wstring name;
    bool existed = false;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data = {};
    // Empty when the value's key existed.
    std::wstring createdKey = {};

    bool operator==(const SavedValue&) const = default;
};

// The DACL of a file or folder that existed before the run, as the run read
// it before it granted the Users group access there (folder_rights.h):
// undoing the run puts it back.
struct SavedAccess {
    std::wstring path;
    // The self-relative security descriptor that holds the DACL.
    std::vector<std::uint8_t> descriptor = {};

    bool operator==(const SavedAccess&) const = default;
};

// Whether two paths name the same file or folder.
using PathEquality = std::function<bool(const std::wstring&, const std::wstring&)>;

// One action of undoing a run, derived from the entry it undoes.
struct UndoStep {
    enum class Action {
        RemoveFolder,      // remove path if it is empty
        RemoveFile,        // delete path (when not empty), then move backup to restoreTo
        RestoreAttributes, // give the file at path the attributes again
        RestoreKey,        // restore the uninstall key from the hive file backup
        DeleteKey,         // delete the uninstall key with its subkeys
        DiscardBackup,     // delete the backup, leaving the file it copied as it is
        RestoreValue,      // put the registry value back as value holds it
        RestoreAccess,     // put back the DACL of path that descriptor holds
    };
    Action action = Action::RemoveFolder;
    std::wstring path;
    std::wstring backup;
    std::wstring restoreTo;
    std::uint32_t attributes = 0;              // for RestoreAttributes
    SavedValue value = {};                     // for RestoreValue
    std::vector<std::uint8_t> descriptor = {}; // for RestoreAccess

    bool operator==(const UndoStep&) const = default;
};

class JournalRecords {
public:
    // Installation folder of the earlier log (empty if none or gone).
    std::wstring installPath;
    // Start-menu folder of the earlier log (empty if none or gone).
    std::wstring shortcutPath;
    // Entries of the earlier log, in file order.
    LogEntries oldEntries;
    // Entries of this run, in the order the changes were made.
    LogEntries newEntries;
    // An adding operation appended an entry whose completion is not recorded yet.
    bool pending = false;
    // The earlier installation's product label (empty if none).
    std::wstring previousLabel;
    // The earlier entries were merged into this run's: the run is being
    // recorded for good and can no longer be undone.
    bool merged = false;
    // The registry values this run set besides the uninstall key (the product
    // path and what the main program registers), in the order they were saved.
    std::vector<SavedValue> savedValues;
    // The DACLs this run changed on what existed before, in the order saved.
    std::vector<SavedAccess> savedAccess;

    // Records the outcome of the change that the last adding operation began:
    // when one is pending, marks the last entry done or not, and gives a
    // shortcut the path of its file when it was created, none otherwise. Does
    // nothing when none is pending.
    void CompleteLast(bool done, const std::wstring& path = {});

    // True when the earlier log holds a completed file entry for exactly this
    // path (same characters, case-sensitive).
    bool WasInstalledBefore(const std::wstring& path) const;

    // The first entry of the earlier log of that kind, or null.
    const LogEntry* earlierEntry(LogKind kind) const;

    // Moves the earlier entries that this run did not supersede in front of
    // this run's entries, keeping their order, and frees the others. A new
    // folder or file supersedes an earlier one of the same kind and path by
    // samePath; any new entry of kinds 2 to 6 supersedes earlier ones of its kind.
    // Sets merged.
    void mergeOldIntoNew(const PathEquality& samePath);

    // The actions that undo this run's entries, newest first. A replaced file
    // goes back to its path; an earlier shortcut that was moved aside goes
    // back to the earlier entry's path, whether or not the new shortcut was
    // created. File associations need no action; an uninstall key that was
    // there before and could not be saved stays as it is; a file that was
    // only copied aside stays as it is and its copy goes. The saved registry
    // values, set after every file, shortcut and uninstall key of the run,
    // are put back first, newest first, then the saved DACLs, newest first.
    // Once merged, the entries are no longer this run's alone: the plan is
    // empty.
    std::vector<UndoStep> rollbackPlan() const;
};
