#pragma once
// The maker's folder picker: the shell's folder-browsing dialog, keeping a
// fixed sub-folder at the end of whatever folder the user picks, letting the
// user type a folder that does not exist yet and checking what was typed.

#include "support/com_scope.h"
#include "support/unique_resource.h"

#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// Lets the user choose a folder, starting at initialFolder, with subFolder
// kept at its end. Returns the chosen absolute folder, empty when the user
// cancelled (initialFolder is then unchanged); otherwise initialFolder
// receives the choice without the sub-folder at its end.
std::wstring BrowseForFolder(std::wstring& initialFolder, const std::wstring& subFolder,
                             const std::wstring& title);

// BrowseForFolder limited to the all-users start-menu programs folder (the
// whole tree when the shell does not name that folder). relativeFolder
// receives the choice relative to the programs folder's parent, the start
// menu ("Programs\Tarnwick\Kelvane 3"; empty for the start menu itself).
std::wstring BrowseForFolder(std::wstring& initialFolder, const std::wstring& subFolder,
                             const std::wstring& title, std::wstring& relativeFolder);

// folder relative to the folder `from` by the shell's relative-path rule,
// canonicalised: "Programs\Tarnwick" below from, empty for from itself, and
// folder unchanged when it has no relative form (another drive).
std::wstring relativeFolder(const std::wstring& from, const std::wstring& folder);

namespace details {

// One call of the picker: the folder chosen so far and the dialog's
// notifications. Exposed so that the tests can reach the callback's checks,
// which Wine's dialog never calls.
class FolderPicker {
public:
    // Prepares the start folder: initialFolder, the root's folder or the
    // documents folder, with the sub-folder kept at its end (relative to the
    // root's parent while a root is set). root limits the tree; none for all of it.
    FolderPicker(const std::wstring& initialFolder, const std::wstring& subFolder,
                 std::wstring title, unique_pidl root);
    FolderPicker(const FolderPicker&) = delete;
    FolderPicker& operator=(const FolderPicker&) = delete;

    // Shows the dialog owned by owner. True when the user chose a folder:
    // path() is then absolute. A failure to initialise COM is shown to the user.
    bool show(HWND owner);

    // The current choice: absolute, or relative to rootParent() while a root
    // is set and the dialog is open.
    const std::wstring& path() const noexcept { return path_; }
    // The sub-folder kept at the end; empty when none was given or the given
    // one holds a character no folder name may hold.
    const std::wstring& subFolder() const noexcept { return subFolder_; }
    bool hasRoot() const noexcept { return static_cast<bool>(root_); }
    // The root's folder without its last element; empty without a root.
    const std::wstring& rootParent();

    // The dialog's callback: BFFM_INITIALIZED, BFFM_SELCHANGED and
    // BFFM_VALIDATEFAILEDW (1 keeps the dialog open).
    int onNotify(HWND dialog, UINT message, LPARAM lParam);

private:
    void onInitialized(HWND dialog);
    void onSelectionChanged(HWND dialog, const ITEMIDLIST* item);
    int onValidateFailed(HWND dialog, const wchar_t* typed);
    void applySubFolderRule();
    void showInEditBox() const;

    std::wstring path_;
    std::wstring subFolder_;
    std::wstring title_;
    unique_pidl root_;
    std::optional<std::wstring> rootParent_;
    // The folder selected when the dialog opened, until the user selects
    // another, and whether that selection is being made.
    std::wstring openedOn_;
    bool selecting_ = false;
    HWND editBox_ = nullptr;
    std::uint32_t flags_ = 0;
    // COM for the dialog, from its first showing to the end of the call.
    std::optional<ComScope> com_;
};

} // namespace details

} // namespace tw
