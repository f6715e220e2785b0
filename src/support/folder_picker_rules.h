#pragma once
// The text rules of the folder picker: which characters a folder may hold,
// where the picker starts, how it keeps the product's sub-folder at the end
// of the chosen folder, how it checks a typed folder, and what it hands back.
// The shell supplies the absolute form of a typed folder; tests supply their own.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tw {

// The codes with which a typed folder is refused.
namespace picker_error {
// HRESULT of ERROR_FILENAME_EXCED_RANGE (206): 260 characters or more.
constexpr std::int32_t tooLong = static_cast<std::int32_t>(0x800700CE);
// ERROR_BAD_PATHNAME: outside the picker's part of the tree, or a character
// that no folder name may hold.
constexpr std::int32_t badPath = 161;
} // namespace picker_error

// Whether the shell's path-character classification (PathGetCharTypeW) makes
// c neither invalid nor a wildcard: control characters, " < > | / * ? are not.
bool isPlainPathChar(wchar_t c) noexcept;

// Whether the shell takes the path as relative (PathIsRelativeW): it neither
// starts with a backslash nor has a colon as its second character.
bool isRelativePath(std::wstring_view path) noexcept;

// The sub-folder the picker keeps: the text without its trailing full stops
// when every character is a plain path character, else empty (no sub-folder).
std::wstring pickerSubFolder(std::wstring_view subFolder);

// Where the picker starts: the initial folder (a relative one counts as
// none), else the root's path, else the documents folder; a bare drive
// ("D:") becomes its root ("D:\").
std::wstring pickerStartFolder(std::wstring_view initialFolder, std::wstring_view rootPath,
                               std::wstring_view documents);

// Whether the path's last elements are those of the sub-folder, compared
// element by element ignoring case. An empty sub-folder is at the end of any path.
bool endsWithSubFolder(std::wstring_view path, std::wstring_view subFolder);

// The path with the sub-folder kept at its end: unchanged when it already
// ends with the sub-folder; otherwise the sub-folder's elements that do not
// already end the path (its longest leading part that does) are appended,
// one backslash between elements.
std::wstring appendSubFolder(std::wstring_view path, std::wstring_view subFolder);

// The path without the sub-folder's elements at its end when it ends with
// all of them (a drive keeps its root backslash: "D:\Kelvane 3" gives "D:\"),
// else the path itself.
std::wstring removeSubFolder(std::wstring_view path, std::wstring_view subFolder);

// Whether path is folder or lies below it, element by element ignoring case.
bool isInFolder(std::wstring_view path, std::wstring_view folder);

// The outcome of checking a typed folder: the absolute folder it names, or
// the code that refuses it (0 when accepted).
struct TypedFolder {
    std::int32_t error = 0;
    std::wstring folder;

    bool accepted() const noexcept { return error == 0; }
};

// The absolute form of a typed folder, a relative one taken against the
// current folder: the folder, empty when it has none, or the code of the
// system error that kept it from being formed.
using QualifyFolder = std::function<TypedFolder(const std::wstring& typed)>;

// Checks a folder typed into the picker: 260 characters or more are too long;
// blanks around it and a trailing backslash are dropped ("D:" stands for
// "D:\", nothing for the current folder); its absolute form must lie in
// rootParent when one is given, and hold plain path characters only.
TypedFolder checkTypedFolder(std::wstring_view typed, std::wstring_view rootParent,
                             const QualifyFolder& qualify);

} // namespace tw
