#pragma once
// The installation journal as data: the entry lists and the rules on them
// (completing, merging an earlier log, planning the undo of a failed run).
// UninstallLog adds the file-system and registry work on top.

#include "install/log_entry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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
    };
    Action action = Action::RemoveFolder;
    std::wstring path;
    std::wstring backup;
    std::wstring restoreTo;
    std::uint32_t attributes = 0; // for RestoreAttributes

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

    // Records the outcome of the change that the last adding operation began:
    // when one is pending, marks the last entry done or not, and gives a
    // created shortcut the path of its file. Does nothing otherwise.
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
    // there before and could not be saved stays as it is. Once merged, the
    // entries are no longer this run's alone: the plan is empty.
    std::vector<UndoStep> rollbackPlan() const;
};
