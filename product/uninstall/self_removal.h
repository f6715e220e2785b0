#pragma once
// A running program cannot delete its own file. The uninstaller therefore
// leaves its own file, its log and the folders holding them to a copy of
// itself in the temporary folder, which waits for the uninstaller to end,
// removes them, and has Windows delete the copy at the next start-up.

#include "install/log_format.h"

#include <string>
#include <vector>

namespace uninstall {

// The argument that starts the copy's work.
inline constexpr wchar_t finishArgument[] = L"/finish";

// Starts the copy. When no copy can be started, Windows is asked to delete
// the uninstaller, its log and the log's folders at the next start-up instead.
void handOverSelfRemoval(const std::wstring& uninstaller, const LogContents& log);

// The copy's work, given its arguments after finishArgument: the handle of
// the uninstaller's process and the uninstaller's path. 0 when done,
// ERROR_INVALID_PARAMETER for other arguments.
int finishSelfRemoval(const std::vector<std::wstring>& arguments);

} // namespace uninstall
