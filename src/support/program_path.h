#pragma once
// The full path of the running program.

#include <string>

namespace tw {

// The executable's full path: the C runtime's program path when it has one,
// else the process module's file name, however long.
std::wstring programPath();

} // namespace tw
