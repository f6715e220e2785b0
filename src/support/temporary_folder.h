#pragma once
// The user's temporary folder and the free names GetTempFileNameW makes in a
// folder.

#include <cstddef>
#include <string>

namespace tw {

// GetTempFileNameW needs room for its 14-character name after the folder
// (MAX_PATH - 14): the longest folder that a temporary name is made in, the
// user's temporary folder included.
constexpr std::size_t longestTemporaryFolder = 246;

// The user's temporary folder (GetTempPathW), with its trailing backslash;
// empty when it cannot be read (the last error says why) or is longer than
// longestTemporaryFolder.
std::wstring temporaryFolder();

// A new empty file with a free name in the folder ("tw", hexadecimal digits,
// ".tmp"), which reserves the name; empty when the folder is empty, longer
// than longestTemporaryFolder or no file could be made there.
std::wstring newTemporaryFile(const std::wstring& folder);

} // namespace tw
