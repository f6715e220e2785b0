#pragma once
// Helpers shared by the Windows tests.

#include "support/common_controls.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
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

// What a shortcut file holds, as the shell-link object loads it.
struct ShellLink {
    std::wstring target; // as stored in the link (SLGP_RAWPATH)
    std::wstring workingFolder;
    std::wstring arguments;
    std::wstring description;
    WORD hotKey = 0xFFFF;
};

// Loads a shortcut file through IShellLinkW on a thread of its own, which
// initialises COM for the load only, so that the calling thread's apartment
// stays as it is found; nothing when it cannot be loaded.
std::optional<ShellLink> loadShortcut(const std::wstring& path);

// A window's text (its caption, or a control's text).
std::wstring windowText(HWND window);

// Presses a button of a dialog as a click does: the dialog gets BN_CLICKED.
void pressButton(HWND dialog, int button);

// A message box: a dialog with the static text 0xFFFF that holds its message.
bool isMessageBox(HWND dialog);

// Watches this process on a thread of its own for a visible dialog (class
// #32770) that wanted accepts, and lets act answer it there, as the user
// would while the thread under test runs the dialog's loop. One dialog:
// watching ends when it was answered, or after 20 seconds. Every dialog:
// after each answer the watcher waits until that dialog has closed and goes
// on until stopped. The watcher stops when it ends.
class DialogWatcher {
public:
    using Match = std::function<bool(HWND)>;
    using Action = std::function<void(HWND)>;
    enum class Dialogs { One, Every };

    DialogWatcher(Match wanted, Action act, Dialogs dialogs = Dialogs::One);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Ends the watching and waits for the watching thread, so that what act
    // recorded may be read.
    void stop();
    // Whether a dialog was answered.
    bool seen() const { return seen_; }

private:
    void watch();
    HWND find();

    Match wanted_;
    Action act_;
    Dialogs dialogs_;
    std::atomic<bool> seen_{false};
    std::atomic<bool> stopped_{false};
    std::thread thread_;
};

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
