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
// the product's values and the maker's keys left empty, and last the
// uninstall key, so that an uninstallation ended part-way can be started
// again from the system's list; what is gone already is passed over.
// Only completed changes count: a file or shortcut the installation did not
// finish was not made by it. The running uninstaller itself stays, and so do
// the samples and data files whose content is no longer what the product
// shipped: those are returned.
std::vector<std::wstring> removeInstallation(const LogContents& log,
                                             const std::wstring& uninstaller);

// Removes the folders the log records that are empty now, newest first.
void removeEmptyFolders(const LogContents& log);

} // namespace uninstall
