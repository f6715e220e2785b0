#include "install/uninstall_log.h"

#include "install/folder_removal.h"
#include "install/journal_store.h"
#include "install/links.h"
#include "install/path_rules.h"
#include "install/product.h"
#include "install/same_path.h"
#include "payload/compress_error.h"
#include "support/missing_folders.h"
#include "support/path_text.h"
#include "support/product_code.h"

#include <algorithm>

UninstallLog::UninstallLog(UninstallKeyLocation uninstallKeys, std::wstring folder,
                           std::vector<std::wstring> shortcutFolders)
    : uninstallKeys_(std::move(uninstallKeys))
    , folder_(std::move(folder))
    , shortcutPlaces_{{}, {}, std::move(shortcutFolders)} {}

const std::wstring& UninstallLog::journalFolder() {
    // Named after the product, whose code is set only once the application
    // object that holds this journal exists.
    if (folder_.empty()) {
        folder_ = journal::defaultFolder();
    }
    return folder_;
}

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

void UninstallLog::Open(const InstallationPlaces& places, const std::wstring& tempFolder) {
    journal::prepareFolder(journalFolder());
    run_ = {places.installFolder, places.dataFolders, places.shortcutFolders, tempFolder};
    recording_ = true;
    try {
        record();
    } catch (...) {
        recording_ = false;
        journal::removeJournal(journalFolder());
        throw;
    }
}

void UninstallLog::Resume(const JournalImage& image) {
    run_ = {image.installFolder, image.dataPlaces, image.shortcutPlaces, image.tempFolder};
    oldEntries = image.earlier;
    newEntries = image.entries;
    savedValues = image.savedValues;
    savedAccess = image.savedAccess;
    merged = false;
    pending = false;
    recording_ = true;
}

void UninstallLog::record() {
    if (!recording_) {
        return;
    }
    JournalImage image = run_;
    image.entries = newEntries;
    image.savedValues = savedValues;
    image.savedAccess = savedAccess;
    // The earlier shortcuts a rollback puts back where they were.
    for (const LogEntry& entry : newEntries) {
        if (isShortcutKind(entry.kind) && !entry.backup.empty()) {
            if (const LogEntry* earlier = earlierEntry(entry.kind)) {
                image.earlier.push_back(*earlier);
            }
        }
    }
    journal::storeJournal(journalFolder(), image);
}

void UninstallLog::endRun() {
    // The journal file goes first: without it nothing will be undone, so the
    // backups are no longer needed. A journal that stays keeps them.
    if (recording_) {
        recording_ = false;
        if (!journal::removeJournal(journalFolder())) {
            return;
        }
        // Whatever the run left in its temporary folder goes with it.
        if (!run_.tempFolder.empty()) {
            removeFolderTree(run_.tempFolder);
        }
    }
    for (LogEntry& entry : newEntries) {
        if (!entry.backup.empty()) {
            journal::deleteBackupFile(entry.backup);
            entry.backup.clear();
        }
    }
}

bool UninstallLog::Write(const std::wstring& logPath, const std::wstring& installFolder,
                         const std::wstring& shortcutFolder) {
    PathComparer samePath;
    const PathEquality equality = [&](const std::wstring& a, const std::wstring& b) {
        return samePath(a, b);
    };
    JournalRecords merging = *this;
    merging.mergeOldIntoNew(equality);
    stampFixedPaths(merging.newEntries, tw::productKeyName());
    const LogHeader header{std::wstring(product::name) + L" " + product::versionText, previousLabel,
                           installFolder, shortcutFolder};
    const std::vector<std::uint8_t> bytes = encodeLog(header, merging.newEntries);

    // The new log and the earlier one moved aside are changes of the run
    // like any other until the journal file goes: an interrupted run puts
    // the earlier log back.
    const std::size_t entriesOfTheRun = newEntries.size();
    bool written = false;
    try {
        newEntries.push_back({LogKind::File, journal::newFileOf(logPath), {}, false, -1});
        LogEntry& earlierLog =
            newEntries.emplace_back(LogEntry{LogKind::File, logPath, {}, false, -1});
        const bool hadLog = journal::isFile(logPath);
        if (hadLog) {
            earlierLog.backup = journal::reserveBackupName(journalFolder());
        }
        record();
        written = journal::writeNewFile(logPath, bytes, journal::logFileAttributes) &&
                  (!hadLog || (!earlierLog.backup.empty() &&
                               journal::saveAside(logPath, earlierLog.backup, false))) &&
                  journal::replaceWithNewFile(logPath);
        if (!written && hadLog && journal::isFile(earlierLog.backup) &&
            journal::saveAside(earlierLog.backup, logPath, false)) {
            // The earlier log went back whole.
            earlierLog.backup.clear();
        }
    } catch (const std::system_error&) {
        written = false;
    }
    journal::deleteBackupFile(journal::newFileOf(logPath));
    // From here on the run can no longer be undone.
    endRun();
    newEntries.resize(entriesOfTheRun);
    mergeOldIntoNew(equality);
    stampFixedPaths(newEntries, tw::productKeyName());
    return written;
}

bool UninstallLog::AddFolders(const std::wstring& folder) {
    if (folder.size() >= MAX_PATH) {
        return false;
    }
    for (const std::wstring& missing : tw::missingFolders(folder)) {
        newEntries.push_back({LogKind::Folder, missing, {}, true, -1});
        record();
        if (!journal::createFolder(missing)) {
            // Deeper folders are not attempted; the file that needs them fails.
            newEntries.pop_back();
            break;
        }
    }
    return true;
}

void UninstallLog::AddFile(const std::wstring& path, std::int32_t payloadKind, bool copyBackup) {
    if (const std::wstring folder = tw::parentPath(path); !folder.empty() && !AddFolders(folder)) {
        // Nothing is recorded, so the failure completes no entry.
        payload::raise(payload::compress_errc::unexpected);
    }
    pending = true;
    LogEntry& entry =
        newEntries.emplace_back(LogEntry{LogKind::File, path, {}, false, payloadKind});
    if (!journal::isFile(path)) {
        record();
        return;
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    entry.backup = journal::reserveBackupName(journalFolder());
    entry.backupCopied = copyBackup && !entry.backup.empty();
    record();
    if (entry.backup.empty() || !journal::saveAside(path, entry.backup, copyBackup)) {
        entry.backup.clear();
        entry.backupCopied = false;
        entry.keptInPlace = true;
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            entry.keptAttributes = attributes;
        }
        record();
    }
}

void UninstallLog::AddShortcut(int which, const std::wstring& folder,
                               const std::wstring& plannedFile) {
    if (which < 0 || which > 2) {
        return; // no such shortcut: nothing is recorded
    }
    pending = true;
    // A folder that does not fit is not made; the shortcut then fails.
    AddFolders(folder);
    const auto kind =
        static_cast<LogKind>(static_cast<std::int32_t>(LogKind::ProgramShortcut) + which);
    LogEntry& entry = newEntries.emplace_back(LogEntry{kind, plannedFile, {}, false, -1});
    // The earlier installation's shortcut of this kind makes way for the new one.
    const LogEntry* earlier = earlierEntry(kind);
    // The earlier log may name any path: only a shortcut where shortcuts go
    // is moved.
    const bool moveEarlier = earlier != nullptr && mayActOn(shortcutPlaces_, kind, earlier->path) &&
                             journal::isFile(earlier->path);
    if (moveEarlier) {
        entry.backup = journal::reserveBackupName(journalFolder());
    }
    record();
    if (moveEarlier && !entry.backup.empty() &&
        !journal::saveAside(earlier->path, entry.backup, false)) {
        entry.backup.clear();
        record();
    }
}

void UninstallLog::AddUninstallKey(HKEY existingKey) {
    pending = true;
    LogEntry& entry = newEntries.emplace_back(LogEntry{LogKind::UninstallKey, {}, {}, false, -1});
    if (existingKey == nullptr) {
        record();
        return;
    }
    entry.backup = journal::reserveBackupName(journalFolder());
    record();
    if (entry.backup.empty() || !journal::saveKeyBackup(existingKey, entry.backup)) {
        entry.backup.clear();
        entry.keptInPlace = true;
        record();
    }
}

void UninstallLog::WithdrawLast() {
    if (pending && !newEntries.empty()) {
        pending = false;
        newEntries.pop_back();
        record();
    }
}

void UninstallLog::AddFileAssociations() {
    pending = true;
    newEntries.push_back({LogKind::FileAssociations, {}, {}, false, -1});
    record();
}

void UninstallLog::SaveValue(const std::wstring& key, const std::wstring& name) {
    savedValues.push_back(journal::saveValue(key, name));
    record();
}

void UninstallLog::SaveAccess(const std::wstring& path,
                              const std::vector<std::uint8_t>& descriptor) {
    savedAccess.push_back({path, descriptor});
    record();
}

void UninstallLog::CompleteLast(bool done, const std::wstring& path) {
    const bool plannedShortcut =
        pending && !newEntries.empty() && isShortcutKind(newEntries.back().kind);
    JournalRecords::CompleteLast(done, path);
    if (plannedShortcut) {
        record();
    }
}

namespace {

// The folder below which ordinary users may have put links on the way to
// what lies in the place: the place itself, but for the maker's folder of
// application data, which a user may have made before the installation in
// the system's folder that holds it.
std::wstring linkBaseOf(const std::wstring& place) {
    const std::wstring folder = tw::parentPath(place);
    return !folder.empty() && tw::equalIgnoringCase(tw::fileName(place), tw::makerName) ? folder
                                                                                        : place;
}

} // namespace

bool UninstallLog::reachedThroughLink(const std::wstring& path) const {
    if (path.empty()) {
        return false;
    }
    std::vector<std::wstring> places = run_.dataPlaces;
    places.insert(places.end(), run_.shortcutPlaces.begin(), run_.shortcutPlaces.end());
    places.push_back(run_.installFolder);
    for (const std::wstring& place : places) {
        // From below the base down to the folder that holds path: path itself
        // is acted on as itself.
        const std::vector<std::wstring> levels = tw::levelsDown(linkBaseOf(place), path);
        for (std::size_t level = 1; level + 1 < levels.size(); ++level) {
            if (isLink(levels[level])) {
                return true;
            }
        }
    }
    return false;
}

void UninstallLog::Rollback() {
    for (const UndoStep& step : rollbackPlan()) {
        // A link an ordinary user put on the way since the change was made
        // leads elsewhere: nothing is done through it.
        if (!reachedThroughLink(step.path) && !reachedThroughLink(step.restoreTo)) {
            journal::undo(step, uninstallKeys_);
        }
    }
    endRun();
    newEntries.clear();
    savedValues.clear();
    savedAccess.clear();
    pending = false;
}

std::wstring UninstallLog::MakeBackup(const std::wstring& path, bool copy) {
    return journal::makeBackupFile(journalFolder(), path, copy);
}
