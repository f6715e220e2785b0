#pragma once
// The documents the product ships (its samples and shared data files), as
// Uninstall.exe carries them: resources of type SHIPPED named after their
// file names. A user's change to such a file is told by its content.

#include <string>

namespace uninstall {

// Whether the file holds exactly what the product shipped under its name.
// False when it cannot be read or the product shipped no file of that name
// (a file of another release): such a file is kept rather than lost.
bool sameAsShipped(const std::wstring& path);

} // namespace uninstall
