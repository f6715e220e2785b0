#pragma once
// A running program cannot delete its own file. The uninstaller therefore
// leaves its own file, its log and the folders holding them to a copy of
// itself, which waits for the uninstaller to end and removes them. The copy
// is started elevated from a new folder of its own in the temporary folder,
// which only SYSTEM and Administrators may change (the user may read and
// run what it holds), so that no program the user runs can swap the copy
// before it starts; Windows deletes the copy and its folder at the next
// start-up.

#include "install/log_format.h"

#include <string>
#include <vector>

namespace uninstall {

// The argument that starts the copy's work.
inline constexpr wchar_t finishArgument[] = L"/finish";

// What the copy says, in the installation's language, when it cannot remove
// the uninstaller: its caption and the heading of the list.
struct LeftoverTexts {
    std::wstring caption;
    std::wstring heading;
};

// Starts the copy. Returns what is left when no copy can be started: the
// uninstaller, its log and the log's folders that still exist; empty when
// the copy was started. Nothing is left to Windows to delete at the next
// start-up by its path: an installation before then would lose its files.
std::vector<std::wstring> handOverSelfRemoval(const std::wstring& uninstaller,
                                              const LogContents& log, const LeftoverTexts& texts);

// The copy's work, given its arguments after finishArgument: the handle of
// the uninstaller's process in hexadecimal, the uninstaller's path and the
// LeftoverTexts. Once the uninstaller's file is gone, the uninstall key goes
// last. When the file cannot be deleted after it ended, the copy says what is
// left, and the system's list keeps the entry that starts it. 0 when done,
// ERROR_INVALID_PARAMETER for other arguments.
int finishSelfRemoval(const std::vector<std::wstring>& arguments);

} // namespace uninstall
