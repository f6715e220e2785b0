#pragma once
// Links that an ordinary user may put where users can change things (the
// shared data folders, the examples folder): a file or folder that is a
// reparse point, such as a directory junction, a symbolic link or a mount
// point. Windows follows them on the way to a path; an elevated program that
// acts there must not.

#include <string>

// Whether the file or folder at path is itself a reparse point; false when it
// does not exist.
bool isLink(const std::wstring& path);

// The first of the folder and the paths from it down to path, path included
// (tw::levelsDown), that is a link, checked from the top down; empty when
// none is. What does not exist yet is no link.
std::wstring firstLinkDown(const std::wstring& folder, const std::wstring& path);
