#pragma once
// Folders the library computes once at start and keeps for the process.

#include <string>

namespace tw {

struct KnownFolders {
    std::wstring makerCommonData; // the maker's folder under the common program data
    std::wstring makerUserData;   // the maker's folder under the roaming application data
    std::wstring documents;       // the user's documents
};

// The folders computed by the library start; empty before it ran.
const KnownFolders& knownFolders();

namespace details {
// Computes the folders (without verifying that they exist). Raises
// std::system_error with the shell's HRESULT when it cannot name one.
void computeKnownFolders();
} // namespace details

} // namespace tw
