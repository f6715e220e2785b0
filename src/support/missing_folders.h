#pragma once
// The folders that must be created before a folder can be.

#include <string>
#include <vector>

namespace tw {

// The levels of the folder (folderLevels) that are not existing folders,
// outermost first; a file in the way is among them, so that creating it
// fails.
std::vector<std::wstring> missingFolders(const std::wstring& folder);

} // namespace tw
