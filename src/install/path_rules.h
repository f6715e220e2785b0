#pragma once
// The rules of path equality that need no file system: paths compared element
// by element (tw::pathElements), with "\" and "/" both separating elements.

#include <functional>
#include <string_view>

// Whether two path elements are equal.
using ElementEquality = std::function<bool(std::wstring_view, std::wstring_view)>;

// True when both paths have as many elements and each pair is equal.
bool sameElements(std::wstring_view a, std::wstring_view b, const ElementEquality& equal);

// The same elements with exactly the same characters.
bool sameElementsExactly(std::wstring_view a, std::wstring_view b);

// A drive letter, a colon and a backslash: a path that needs no completing.
bool isDriveAbsolute(std::wstring_view path);

// A folder the installation can be given: drive-absolute ("C:\...") or a UNC
// path ("\\server..."). An empty or relative folder would resolve against
// whatever the current folder happens to be.
bool isAbsoluteFolder(std::wstring_view path);
