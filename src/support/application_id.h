#pragma once
// The application identifier that names the kernel objects shared by the
// setup program, the installed program and the uninstaller.

#include <string>

namespace tw {

// The process-wide identifier, set once by the library start.
const std::wstring& applicationId();

// The executable's full path: the C runtime's program path when it has one,
// else the process module's file name (at most 260 characters).
std::wstring programPath();

namespace details {
// Derives the identifier from the executable's own version resource (its
// ApplicationId, else its ProductName, else the stem of the program path).
void deriveApplicationId();
} // namespace details

} // namespace tw
