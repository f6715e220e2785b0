#pragma once
// The registry entries of an installation of the product: the uninstall key,
// the file associations of the main program, the product path value, the
// user's record of an update, and the maker's keys they leave empty.

#include <string>

namespace uninstall {

// The product's uninstall key below HKEY_LOCAL_MACHINE.
std::wstring uninstallKeyPath();

// Deletes the product's uninstall key with all it holds.
void removeUninstallKey();

// Deletes the document type's ProgID, and the extension when it still opens
// with that ProgID (another program may have taken it over), then tells the
// shell.
void removeFileAssociations();

// Deletes the product path value when it names mainProgram, and the value
// Kelvane.exe keeps about an update; then the maker's keys that hold nothing
// more, for the machine and for the user.
void removeProductValues(const std::wstring& mainProgram);

} // namespace uninstall
