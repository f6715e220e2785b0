#pragma once
// The stem of a program's path, which names the application when its version
// resource does not.

#include <string>
#include <string_view>

namespace tw {

// The file-name part of a Windows path without its last extension. "." and
// ".." keep their dots, a name that begins with its only dot has no extension,
// and anything after a colon in the file name (a stream name) is ignored.
std::wstring fileStem(std::wstring_view path);

} // namespace tw
