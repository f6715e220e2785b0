#pragma once
// Removes an installation as its uninstall log records it.

#include "install/log_format.h"

#include <optional>
#include <string>
#include <vector>

namespace uninstall {

// The log file when it is whole (see readCompleteLog); nothing when it cannot
// be read or is damaged.
std::optional<LogContents> readInstalledLog(const std::wstring& path);

// Removes what the log records, newest first: shortcuts, files (read-only
// ones too), the file associations, the folders that are empty by then; then
// the product's values and the maker's keys left empty. What is gone already
// is passed over, so that an uninstallation ended part-way can be started
// again; the uninstall key, from which the system's list starts it, stays
// (removeUninstallKeyOf).
// Only completed changes count: a file or shortcut the installation did not
// finish was not made by it. Only entries where the installation puts things
// count (placesOf, mayActOn); others are passed over without a word. Nothing
// is removed through a link: an entry with a link on its way stays, and a
// folder that became a link loses only the link. The running uninstaller
// itself stays, and so do the samples and data files whose content is no
// longer what the product shipped and the links that remain: those are
// returned.
struct Kept {
    std::vector<std::wstring> changedFiles;
    std::vector<std::wstring> links;
};
Kept removeInstallation(const LogContents& log, const std::wstring& uninstaller);

// The folders the log records that removeInstallation's rules let it remove,
// newest first.
std::vector<std::wstring> foldersToRemove(const LogContents& log);

// Removes those of them that are empty now.
void removeEmptyFolders(const LogContents& log);

// Removes the product's uninstall key when the log records it: the last step
// of an uninstallation, once the uninstaller's own file is gone too.
void removeUninstallKeyOf(const LogContents& log);

} // namespace uninstall
