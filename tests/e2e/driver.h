#pragma once
// Drives the installer through its user interface from another process, the
// way a user would: finds its windows, reads control texts and states, clicks
// buttons, answers message boxes, and waits for it to end. Every wait has a
// time-out; a test that times out fails, and the installer is ended.

#include <windows.h>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
constexpr std::chrono::milliseconds defaultWait = 20s;

// The installer under test: KV_INSTALLER names it (a Windows path).
std::wstring installerPath();

// A started installer process (or another program, with arguments after its
// quoted path). Ended (terminated) when the object goes away while it still
// runs.
class Installer {
public:
    explicit Installer(const std::wstring& path = installerPath(),
                       const std::wstring& arguments = {});
    // Started with that primary token (CreateProcessAsUserW).
    Installer(const std::wstring& path, HANDLE token);
    ~Installer();
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    DWORD id() const noexcept { return processId_; }
    bool running() const;
    // The exit code, or nothing when the process did not end in time.
    std::optional<DWORD> waitForExit(std::chrono::milliseconds wait = defaultWait);
    // Ends the process at once (TerminateProcess), as the task manager or a
    // power loss would, and waits until it has ended.
    void end();

private:
    void start(const std::wstring& path, const std::wstring& arguments, HANDLE token);

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// The processes that the given process started and that still run.
std::vector<DWORD> itsChildren(DWORD parent);

// Waits until every process that the given process started has ended.
void waitForItsChildren(DWORD parent);

// What a process is doing, for a test that waited for it in vain: whether it
// still runs or its exit code, and each window it shows with its caption,
// class and, for a message box, its text; when it shows none, the modules it
// has loaded, which tell how far it got.
std::string whatItShows(DWORD processId);

// The visible top-level windows of a process.
std::vector<HWND> topLevelWindows(DWORD processId);

// Waits for a visible top-level window of the process with that caption.
// When none comes in time, the failure says what the process shows and
// whether the window comes within a minute more (slow or stuck).
HWND waitForWindow(DWORD processId, const std::wstring& caption,
                   std::chrono::milliseconds wait = defaultWait);

// A message box as shown: its window, caption, text and buttons (control ids).
struct ShownMessage {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons;
};

// Waits for a message box of the process (a dialog other than those given).
ShownMessage waitForMessageBox(DWORD processId, const std::vector<HWND>& others,
                               std::chrono::milliseconds wait = defaultWait);

// Presses a button of a message box and waits (a few seconds at most) until
// the box has gone from the screen.
void answer(const ShownMessage& box, int button);

std::wstring windowText(HWND window);
std::wstring className(HWND window);

// The visible control with that id anywhere below root (the wizard's pages
// reuse ids, but only one page is visible at a time); null when none.
HWND findControl(HWND root, int id);
// Like findControl, failing the test when there is none.
HWND control(HWND root, int id);

std::wstring controlText(HWND root, int id);
bool controlEnabled(HWND root, int id);

// Clicks a push button, check box or radio button as the user would: it must
// be visible and enabled.
void click(HWND root, int id);

// Waits until the predicate holds, asking every so often; false when it did
// not in time.
template <typename Predicate>
bool waitUntil(Predicate holds, std::chrono::milliseconds wait = defaultWait,
               std::chrono::milliseconds every = 50ms) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        ::Sleep(static_cast<DWORD>(every.count()));
    }
    return true;
}

// An item of an extended combo box: its text and item data.
struct ListItem {
    std::wstring text;
    LPARAM data = 0;
};

// The items of an extended combo box (ComboBoxEx32), read through memory in
// its process: the system carries no data of common-control messages between
// processes.
std::vector<ListItem> comboExItems(HWND combo);

// Picks an item of a combo box of a dialog as the user does: the item is
// selected and the dialog is told that the selection changed.
void chooseItem(HWND root, int id, int index);

// Waits for a folder-browsing dialog of the process (a dialog with a folder
// tree, other than those given).
HWND waitForFolderDialog(DWORD processId, const std::vector<HWND>& others,
                         std::chrono::milliseconds wait = defaultWait);

// The edit box of a folder-browsing dialog; null when it has none.
HWND folderDialogEditBox(HWND dialog);

// Selects a folder in the tree of a folder-browsing dialog; the dialog reports
// it as it reports a click.
void selectFolder(HWND dialog, const std::wstring& folder);

// What a window shows on screen, taken when made.
class ScreenPicture {
public:
    explicit ScreenPicture(HWND window);

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    // The colour at x, y from the window's top-left corner.
    COLORREF pixel(int x, int y) const;
    // Writes it as a 24-bit BMP file.
    void save(const std::wstring& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    DWORD stride_ = 0;
    std::vector<char> rows_; // bottom-up, three bytes a pixel (blue, green, red)
};

// Saves a picture of the window (as on screen) to KV_SCREENSHOTS\name.bmp
// when that variable is set.
void screenshot(HWND window, const std::wstring& name);

} // namespace e2e
