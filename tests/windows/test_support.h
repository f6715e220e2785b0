#pragma once
// Helpers shared by the Windows tests.

#include "support/common_controls.h"

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Whether the tests run under Wine: the library's own test.
using tw::runningUnderWine;

// A file of the build tree, named by its host path: under Wine a Unix path is
// reached through drive Z:, a Windows path is used as it is.
std::wstring buildPath(const char* hostPath);

// The current path of a shell folder, asked of SHGetFolderPathW directly
// (no owner window); empty when the call fails. What the shell-folder lookups
// under test are compared with.
std::wstring directShellFolder(int csidl);

// The system's reading of a file's version resource (GetFileVersionInfoW);
// empty when it has none. version.dll comes from the system folder at run
// time, as in the programs under test.
std::vector<std::uint8_t> systemVersionInfo(const std::wstring& path);

// The system's VerQueryValueW on such a block.
bool systemVersionValue(std::vector<std::uint8_t>& block, const std::wstring& subBlock,
                        void** value, UINT* length);

// Gives a program file another version: rewrites the fixed file and product
// versions of its language-neutral version resource 1 and the text of its
// "ProductVersion" string, which must be as long as the text it replaces.
// Fails the test when the file has no such resource or cannot be updated.
void setProgramVersion(const std::wstring& program, std::uint64_t version,
                       const std::wstring& productVersion);

// Lists the folder and every folder above it once. Wine's folder-browsing
// tree tells folders apart by all of their item data, last-access time
// included, and the first listing of a folder after a change moves that
// time: a folder made for a test is settled before a tree looks for it.
void settleFolderTimes(const std::wstring& folder);

// Under Wine: a Unix symbolic link at link to the folder target, made from
// the Linux side (a Windows program cannot make a junction under Wine 8).
// Wine shows it as a folder with FILE_ATTRIBUTE_REPARSE_POINT and follows it
// as Windows follows a junction, so it stands in for a junction an ordinary
// user made. Fails the test when it cannot be made.
void makeFolderLink(const std::wstring& link, const std::wstring& target);

// Removes such a link, not what it points to (Wine's RemoveDirectoryW would
// remove the target).
void removeFolderLink(const std::wstring& link);

// A scratch folder under the temporary folder, named after the test; wiped
// when made and when the object ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const noexcept { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// A scratch registry key below root, deleted with its subkeys when made and
// when the object ends. The key itself exists while the object lives unless
// created is false.
class ScratchKey {
public:
    ScratchKey(HKEY root, const std::wstring& path, bool created = true);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY root() const noexcept { return root_; }
    const std::wstring& path() const noexcept { return path_; }

private:
    HKEY root_;
    std::wstring path_;
};

} // namespace testing_support
