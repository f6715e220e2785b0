#include "uninstall/removal.h"

#include "uninstall/places.h"
#include "uninstall/product_registry.h"
#include "uninstall/shipped_files.h"

#include "install/links.h"
#include "install/log_check.h"
#include "install/same_path.h"
#include "payload/archive_entry.h"
#include "support/whole_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <ranges>

namespace uninstall {

namespace {

// A log larger than this is no log the installation wrote.
constexpr std::int64_t largestLog = 64 * 1024 * 1024;

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

// Samples and shared data files are the user's to change.
bool userMayChange(const LogEntry& entry) {
    return entry.value == payload::DataFile || entry.value == payload::Sample;
}

void removeEntry(const LogEntry& entry, const std::wstring& uninstaller,
                 std::vector<std::wstring>& kept) {
    switch (entry.kind) {
    case LogKind::Folder:
        ::RemoveDirectoryW(entry.path.c_str());
        return;
    case LogKind::File:
        if (!entry.done || !exists(entry.path) || SamePath(entry.path, uninstaller)) {
            return;
        }
        if (userMayChange(entry) && !sameAsShipped(entry.path)) {
            kept.push_back(entry.path);
            return;
        }
        removeFile(entry.path);
        return;
    case LogKind::ProgramShortcut:
    case LogKind::UninstallShortcut:
    case LogKind::DesktopShortcut:
        if (entry.done && !entry.path.empty()) {
            removeFile(entry.path);
        }
        return;
    case LogKind::UninstallKey:
        // Removed last, with the uninstaller's own file (finishSelfRemoval):
        // an uninstallation ended part-way stays in the system's list, from
        // which it can be started again.
        return;
    case LogKind::FileAssociations:
        removeFileAssociations();
        return;
    }
}

// The entries to remove, newest first: those that lie where the
// installation puts things and are reached through no link (the links met on
// the way are added to links, each once).
std::vector<std::reference_wrapper<const LogEntry>>
entriesToRemove(const LogContents& log, const Places& places, std::vector<std::wstring>& links) {
    std::vector<std::reference_wrapper<const LogEntry>> entries;
    for (const LogEntry& entry : std::views::reverse(log.entries)) {
        if (!mayActOn(places.installation, entry.kind, entry.path)) {
            continue;
        }
        if (std::wstring link = linkOnTheWay(places, entry.path); !link.empty()) {
            if (std::find(links.begin(), links.end(), link) == links.end()) {
                links.push_back(std::move(link));
            }
            continue;
        }
        entries.emplace_back(entry);
    }
    return entries;
}

} // namespace

std::optional<LogContents> readInstalledLog(const std::wstring& path) {
    const auto bytes = tw::readWholeFile(path, largestLog);
    if (!bytes) {
        return std::nullopt;
    }
    return readCompleteLog(*bytes);
}

Kept removeInstallation(const LogContents& log, const std::wstring& uninstaller) {
    Kept kept;
    std::vector<std::wstring> links;
    const Places places = placesOf(log.installPath);
    for (const LogEntry& entry : entriesToRemove(log, places, links)) {
        removeEntry(entry, uninstaller, kept.changedFiles);
    }
    // A link that a folder of the installation became is gone with that
    // folder; any other stays, and so does what it points to.
    std::copy_if(links.begin(), links.end(), std::back_inserter(kept.links), isLink);
    std::wstring mainProgram;
    for (const LogEntry& entry : log.entries) {
        if (entry.kind == LogKind::File && entry.value == payload::MainProgram) {
            mainProgram = entry.path;
        }
    }
    removeProductValues(mainProgram);
    return kept;
}

void removeUninstallKeyOf(const LogContents& log) {
    if (std::ranges::any_of(log.entries, [](const LogEntry& entry) {
            return entry.kind == LogKind::UninstallKey;
        })) {
        removeUninstallKey();
    }
}

std::vector<std::wstring> foldersToRemove(const LogContents& log) {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> links;
    for (const LogEntry& entry : entriesToRemove(log, placesOf(log.installPath), links)) {
        if (entry.kind == LogKind::Folder) {
            folders.push_back(entry.path);
        }
    }
    return folders;
}

void removeEmptyFolders(const LogContents& log) {
    for (const std::wstring& folder : foldersToRemove(log)) {
        ::RemoveDirectoryW(folder.c_str());
    }
}

} // namespace uninstall
