#pragma once
// The application identifier that names the kernel objects shared by the
// setup program, the installed program and the uninstaller.

#include <string>

namespace tw {

// The process-wide identifier, set once by the library start.
const std::wstring& applicationId();

namespace details {
// Derives the identifier from the executable's own version resource (its
// ApplicationId, else its ProductName, else the stem of the program path).
void deriveApplicationId();
} // namespace details

} // namespace tw
