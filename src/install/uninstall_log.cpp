#include "install/uninstall_log.h"

#include "install/path_rules.h"
#include "install/product.h"
#include "install/same_path.h"
#include "payload/compress_error.h"
#include "support/product_code.h"

UninstallLog::UninstallLog(UninstallKeyLocation uninstallKeys,
                           std::vector<std::wstring> shortcutFolders)
    : uninstallKeys_(std::move(uninstallKeys))
    , shortcutPlaces_{{}, {}, std::move(shortcutFolders)} {}

void UninstallLog::Load(const std::wstring& path) {
    installPath.clear();
    shortcutPath.clear();
    if (path.empty()) {
        return;
    }
    auto contents = journal::readLogFile(path);
    if (!contents) {
        return;
    }
    // A relative folder would depend on the current folder: it counts as none.
    if (isAbsoluteFolder(contents->installPath) && journal::isFolder(contents->installPath)) {
        installPath = std::move(contents->installPath);
    }
    if (isAbsoluteFolder(contents->shortcutPath) && journal::isFolder(contents->shortcutPath)) {
        shortcutPath = std::move(contents->shortcutPath);
    }
    previousLabel = std::move(contents->previousLabel);
    oldEntries.splice(oldEntries.end(), contents->entries);
}

bool UninstallLog::Write(const std::wstring& logPath, const std::wstring& installFolder,
                         const std::wstring& shortcutFolder) {
    PathComparer samePath;
    mergeOldIntoNew([&](const std::wstring& a, const std::wstring& b) { return samePath(a, b); });
    stampFixedPaths(newEntries, tw::productKeyName());
    const LogHeader header{std::wstring(product::name) + L" " + product::versionText, previousLabel,
                           installFolder, shortcutFolder};
    const bool written = journal::writeLogFile(logPath, encodeLog(header, newEntries));
    // From here on the run can no longer be undone.
    for (LogEntry& entry : newEntries) {
        if (!entry.backup.empty()) {
            journal::deleteBackupFile(entry.backup);
            entry.backup.clear();
        }
    }
    return written;
}

bool UninstallLog::AddFolders(const std::wstring& folder) {
    if (folder.size() >= MAX_PATH) {
        return false;
    }
    for (std::wstring& created : journal::createMissingFolders(folder)) {
        newEntries.push_back({LogKind::Folder, std::move(created), {}, true, -1});
    }
    return true;
}

void UninstallLog::AddFile(const std::wstring& path, std::int32_t payloadKind, bool copyBackup) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && !AddFolders(path.substr(0, slash))) {
        // Nothing is recorded, so the failure completes no entry.
        payload::raise(payload::compress_errc::unexpected);
    }
    pending = true;
    LogEntry& entry =
        newEntries.emplace_back(LogEntry{LogKind::File, path, {}, false, payloadKind});
    if (journal::isFile(path)) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        entry.backup = MakeBackup(path, copyBackup);
        entry.keptInPlace = entry.backup.empty();
        if (entry.keptInPlace && attributes != INVALID_FILE_ATTRIBUTES) {
            entry.keptAttributes = attributes;
        }
    }
}

void UninstallLog::AddShortcut(int which, const std::wstring& folder) {
    if (which < 0 || which > 2) {
        return; // no such shortcut: nothing is recorded
    }
    pending = true;
    // A folder that does not fit is not made; the shortcut then fails.
    AddFolders(folder);
    const auto kind =
        static_cast<LogKind>(static_cast<std::int32_t>(LogKind::ProgramShortcut) + which);
    LogEntry& entry = newEntries.emplace_back(LogEntry{kind, {}, {}, false, -1});
    // The earlier installation's shortcut of this kind makes way for the new one.
    const LogEntry* earlier = earlierEntry(kind);
    // The earlier log may name any path: only a shortcut where shortcuts go
    // is moved.
    if (earlier != nullptr && mayActOn(shortcutPlaces_, kind, earlier->path) &&
        journal::isFile(earlier->path)) {
        entry.backup = MakeBackup(earlier->path, false);
    }
}

void UninstallLog::AddUninstallKey(HKEY existingKey) {
    pending = true;
    LogEntry& entry = newEntries.emplace_back(LogEntry{LogKind::UninstallKey, {}, {}, false, -1});
    if (existingKey != nullptr) {
        entry.backup = journal::saveKeyBackup(existingKey);
        entry.keptInPlace = entry.backup.empty();
    }
}

void UninstallLog::AddFileAssociations() {
    pending = true;
    newEntries.push_back({LogKind::FileAssociations, {}, {}, false, -1});
}

void UninstallLog::Rollback() {
    for (const UndoStep& step : rollbackPlan()) {
        journal::undo(step, uninstallKeys_);
    }
    newEntries.clear();
    pending = false;
}

std::wstring UninstallLog::MakeBackup(const std::wstring& path, bool copy) {
    return journal::makeBackupFile(path, copy);
}
