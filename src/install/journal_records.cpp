#include "install/journal_records.h"

#include <algorithm>
#include <iterator>

namespace {

bool supersedes(const LogEntry& newer, const LogEntry& older, const PathEquality& samePath) {
    if (newer.kind != older.kind) {
        return false;
    }
    if (older.kind == LogKind::Folder || older.kind == LogKind::File) {
        return samePath(newer.path, older.path);
    }
    return true;
}

// The saved registry values go back newest first.
void undoSavedValues(const std::vector<SavedValue>& savedValues, std::vector<UndoStep>& steps) {
    for (auto saved = savedValues.rbegin(); saved != savedValues.rend(); ++saved) {
        UndoStep step{UndoStep::Action::RestoreValue, {}, {}, {}};
        step.value = *saved;
        steps.push_back(std::move(step));
    }
}

// The saved DACLs go back newest first.
void undoSavedAccess(const std::vector<SavedAccess>& savedAccess, std::vector<UndoStep>& steps) {
    for (auto saved = savedAccess.rbegin(); saved != savedAccess.rend(); ++saved) {
        UndoStep step{UndoStep::Action::RestoreAccess, saved->path, {}, {}};
        step.descriptor = saved->descriptor;
        steps.push_back(std::move(step));
    }
}

// An uninstall key that was there before and could not be saved stays; one
// that was saved comes back from its backup; a new one goes.
void undoUninstallKey(const LogEntry& entry, std::vector<UndoStep>& steps) {
    if (entry.keptInPlace) {
        return;
    }
    if (entry.backup.empty()) {
        steps.push_back({UndoStep::Action::DeleteKey, {}, {}, {}});
    } else {
        steps.push_back({UndoStep::Action::RestoreKey, {}, entry.backup, {}});
    }
}

// Where the backup of a file or shortcut goes back. A file's backup came from
// its own path. A shortcut's backup is the earlier installation's shortcut,
// which goes back where the earlier log had it: the new shortcut may have
// another name, or none when it was not created.
std::wstring restorePathOf(const JournalRecords& records, const LogEntry& entry) {
    if (isShortcutKind(entry.kind) && !entry.backup.empty()) {
        if (const LogEntry* earlier = records.earlierEntry(entry.kind)) {
            return earlier->path;
        }
    }
    return entry.path;
}

void undoFileOrShortcut(const JournalRecords& records, const LogEntry& entry,
                        std::vector<UndoStep>& steps) {
    if (entry.backupCopied) {
        steps.push_back({UndoStep::Action::DiscardBackup, {}, entry.backup, {}});
        return;
    }
    std::wstring restoreTo = restorePathOf(records, entry);
    // A file that could not be saved aside is not deleted; it gets back the
    // attributes it had.
    if (entry.keptInPlace && entry.keptAttributes) {
        steps.push_back(
            {UndoStep::Action::RestoreAttributes, entry.path, {}, {}, *entry.keptAttributes});
    }
    std::wstring remove = entry.keptInPlace ? std::wstring() : entry.path;
    if (!remove.empty() || !entry.backup.empty()) {
        steps.push_back(
            {UndoStep::Action::RemoveFile, std::move(remove), entry.backup, std::move(restoreTo)});
    }
}

void undoEntry(const JournalRecords& records, const LogEntry& entry, std::vector<UndoStep>& steps) {
    switch (entry.kind) {
    case LogKind::Folder:
        steps.push_back({UndoStep::Action::RemoveFolder, entry.path, {}, {}});
        break;
    case LogKind::UninstallKey:
        undoUninstallKey(entry, steps);
        break;
    case LogKind::FileAssociations:
        break;
    case LogKind::File:
    case LogKind::ProgramShortcut:
    case LogKind::UninstallShortcut:
    case LogKind::DesktopShortcut:
        undoFileOrShortcut(records, entry, steps);
        break;
    }
}

} // namespace

void JournalRecords::CompleteLast(bool done, const std::wstring& path) {
    if (!pending) {
        return;
    }
    pending = false;
    if (newEntries.empty()) {
        return;
    }
    LogEntry& last = newEntries.back();
    last.done = done;
    // A shortcut may carry the file it was planned to be until now.
    if (isShortcutKind(last.kind)) {
        last.path = done ? path : std::wstring();
    }
}

bool JournalRecords::WasInstalledBefore(const std::wstring& path) const {
    return std::ranges::any_of(oldEntries, [&](const LogEntry& entry) {
        return entry.kind == LogKind::File && entry.done && entry.path == path;
    });
}

const LogEntry* JournalRecords::earlierEntry(LogKind kind) const {
    const auto found =
        std::ranges::find_if(oldEntries, [&](const LogEntry& entry) { return entry.kind == kind; });
    return found == oldEntries.end() ? nullptr : &*found;
}

void JournalRecords::mergeOldIntoNew(const PathEquality& samePath) {
    merged = true;
    // From the last earlier entry to the first, each survivor goes to the
    // front: the survivors keep their order and precede all new entries.
    while (!oldEntries.empty()) {
        const auto older = std::prev(oldEntries.end());
        const bool superseded = std::ranges::any_of(
            newEntries, [&](const LogEntry& newer) { return supersedes(newer, *older, samePath); });
        if (superseded) {
            oldEntries.erase(older);
        } else {
            newEntries.splice(newEntries.begin(), oldEntries, older);
        }
    }
}

std::vector<UndoStep> JournalRecords::rollbackPlan() const {
    std::vector<UndoStep> steps;
    if (merged) {
        return steps;
    }
    undoSavedValues(savedValues, steps);
    undoSavedAccess(savedAccess, steps);
    for (auto entry = newEntries.rbegin(); entry != newEntries.rend(); ++entry) {
        undoEntry(*this, *entry, steps);
    }
    return steps;
}
