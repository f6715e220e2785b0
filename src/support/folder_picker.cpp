#include "support/folder_picker.h"

#include "support/folder_picker_rules.h"
#include "support/known_folders.h"
#include "support/message_rules.h"
#include "support/messages.h"
#include "support/owner_window.h"
#include "support/path_text.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace tw {

namespace {

namespace flag {
constexpr std::uint32_t opened = 2;
constexpr std::uint32_t typedAccepted = 4;
} // namespace flag

// BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE, and with
// a sub-folder also BIF_EDITBOX | BIF_VALIDATE.
constexpr UINT plainStyle = 0x49;
constexpr UINT subFolderStyle = 0x79;

std::wstring pathOf(const ITEMIDLIST* item) {
    wchar_t path[MAX_PATH] = {};
    return item != nullptr && ::SHGetPathFromIDListW(item, path) ? path : std::wstring();
}

std::wstring combine(const std::wstring& folder, const std::wstring& relative) {
    wchar_t path[MAX_PATH] = {};
    return ::PathCombineW(path, folder.c_str(), relative.c_str()) != nullptr ? path : relative;
}

// The deepest existing folder on the way up from path; empty when none is.
std::wstring deepestExistingFolder(std::wstring path) {
    if (path.size() >= MAX_PATH) {
        path.resize(MAX_PATH - 1);
    }
    wchar_t folder[MAX_PATH] = {};
    path.copy(folder, path.size());
    while (!::PathIsDirectoryW(folder)) {
        if (!::PathRemoveFileSpecW(folder)) {
            return {};
        }
    }
    return folder;
}

// Makes a folder the current directory for as long as it lives, and puts the
// previous one back.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::wstring& folder) {
        wchar_t previous[MAX_PATH] = {};
        const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, previous);
        if (length == 0 || length >= MAX_PATH) {
            error_ = length == 0 ? static_cast<std::int32_t>(::GetLastError())
                                 : static_cast<std::int32_t>(ERROR_FILENAME_EXCED_RANGE);
            return;
        }
        if (!::SetCurrentDirectoryW(folder.c_str())) {
            error_ = static_cast<std::int32_t>(::GetLastError());
            return;
        }
        previous_ = previous;
    }
    ~CurrentDirectory() {
        if (!previous_.empty()) {
            ::SetCurrentDirectoryW(previous_.c_str());
        }
    }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

    // The system's error when the folder could not be made current; 0 when it was.
    std::int32_t error() const noexcept { return error_; }

private:
    std::wstring previous_;
    std::int32_t error_ = 0;
};

// The absolute form of a typed folder, a relative one taken against parent
// when one is given, else against the current directory.
TypedFolder qualifyTyped(const std::wstring& text, const std::wstring& parent) {
    std::optional<CurrentDirectory> current;
    if (!parent.empty()) {
        current.emplace(parent);
        if (current->error() != 0) {
            return {current->error(), {}};
        }
    }
    wchar_t qualified[MAX_PATH] = {};
    if (!::PathSearchAndQualifyW(text.c_str(), qualified, MAX_PATH)) {
        return {};
    }
    return {0, qualified};
}

// An exclamation box without caption, read in the owner's reading order.
void showRefusal(HWND owner, std::int32_t code) {
    const std::uint32_t style = completeMessageStyle(style::ok, readsRightToLeft(owner));
    ::MessageBoxW(owner, errorText(code).c_str(), nullptr, style);
}

int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) noexcept {
    try {
        return reinterpret_cast<details::FolderPicker*>(data)->onNotify(dialog, message, lParam);
    } catch (...) {
        // A typed folder that could not be checked is not taken.
        return message == BFFM_VALIDATEFAILEDW ? 1 : 0;
    }
}

unique_pidl startMenuProgramsRoot() {
    unique_pidl root;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_PROGRAMS, root.put()))) {
        root.reset();
    }
    return root;
}

} // namespace

std::wstring relativeFolder(const std::wstring& from, const std::wstring& folder) {
    wchar_t relative[MAX_PATH] = {};
    if (!::PathRelativePathToW(relative, from.c_str(), FILE_ATTRIBUTE_DIRECTORY, folder.c_str(),
                               FILE_ATTRIBUTE_DIRECTORY)) {
        return folder;
    }
    if (std::wstring(relative) == L".") {
        return {};
    }
    wchar_t canonical[MAX_PATH] = {};
    return ::PathCanonicalizeW(canonical, relative) ? canonical : relative;
}

namespace details {

FolderPicker::FolderPicker(const std::wstring& initialFolder, const std::wstring& subFolder,
                           std::wstring title, unique_pidl root)
    : subFolder_(pickerSubFolder(subFolder))
    , title_(std::move(title))
    , root_(std::move(root)) {
    path_ = pickerStartFolder(initialFolder, pathOf(root_.get()), knownFolders().documents);
    applySubFolderRule();
}

const std::wstring& FolderPicker::rootParent() {
    if (!rootParent_) {
        rootParent_ = root_ ? parentPath(pathOf(root_.get())) : std::wstring();
    }
    return *rootParent_;
}

void FolderPicker::applySubFolderRule() {
    if (subFolder_.empty()) {
        return;
    }
    path_ = appendSubFolder(path_, subFolder_);
    if (root_) {
        path_ = relativeFolder(rootParent(), path_);
    }
}

bool FolderPicker::show(HWND owner) {
    if (!com_) {
        com_.emplace();
    }
    if (!com_->usable()) {
        showRefusal(owner, com_->result());
        com_.reset();
        return false;
    }
    flags_ &= ~(flag::opened | flag::typedAccepted);
    editBox_ = nullptr;
    openedOn_.clear();

    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = root_.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = title_.empty() ? nullptr : title_.c_str();
    info.ulFlags = subFolder_.empty() ? plainStyle : subFolderStyle;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    const unique_pidl chosen(::SHBrowseForFolderW(&info));
    const std::wstring chosenPath = pathOf(chosen.get());
    if (chosenPath.empty()) {
        return false;
    }
    if (!(flags_ & flag::typedAccepted)) {
        path_ = chosenPath;
    }
    return true;
}

int FolderPicker::onNotify(HWND dialog, UINT message, LPARAM lParam) {
    switch (message) {
    case BFFM_INITIALIZED:
        onInitialized(dialog);
        return 0;
    case BFFM_SELCHANGED:
        onSelectionChanged(dialog, reinterpret_cast<const ITEMIDLIST*>(lParam));
        return 0;
    case BFFM_VALIDATEFAILEDW:
        return onValidateFailed(dialog, reinterpret_cast<const wchar_t*>(lParam));
    default:
        return 0;
    }
}

void FolderPicker::onInitialized(HWND dialog) {
    flags_ |= flag::opened;
    const std::wstring start = root_ ? combine(rootParent(), path_) : path_;
    openedOn_ = deepestExistingFolder(start);
    if (!openedOn_.empty()) {
        selecting_ = true;
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                       reinterpret_cast<LPARAM>(openedOn_.c_str()));
        ::SendMessageW(dialog, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(openedOn_.c_str()));
        selecting_ = false;
    }
    if (!subFolder_.empty()) {
        editBox_ = ::FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    }
    if (!openedOn_.empty()) {
        showInEditBox();
    }
}

void FolderPicker::onSelectionChanged(HWND dialog, const ITEMIDLIST* item) {
    if (!(flags_ & flag::opened) || selecting_) {
        return;
    }
    const std::wstring itemPath = pathOf(item);
    // The shell reports the folder selected at opening as a change, at once
    // or once the tree is shown; taking it would cut the folder down to its
    // deepest existing part. The user's first move to another folder ends this.
    if (!openedOn_.empty()) {
        if (equalIgnoringCase(itemPath, openedOn_)) {
            showInEditBox(); // the shell has put the folder's name there
            return;
        }
        openedOn_.clear();
    }
    if (!itemPath.empty()) {
        path_ = itemPath;
    }
    applySubFolderRule();
    showInEditBox();
    if (subFolder_.empty()) {
        ::SendMessageW(dialog, BFFM_ENABLEOK, 0, itemPath.empty() ? FALSE : TRUE);
    }
}

int FolderPicker::onValidateFailed(HWND dialog, const wchar_t* typed) {
    const std::wstring parent = root_ ? rootParent() : std::wstring();
    TypedFolder checked = checkTypedFolder(
        typed != nullptr ? typed : L"", parent,
        [&parent](const std::wstring& text) { return qualifyTyped(text, parent); });
    if (checked.accepted()) {
        path_ = std::move(checked.folder);
        flags_ |= flag::typedAccepted;
        return 0;
    }
    showRefusal(dialog, checked.error);
    return 1;
}

void FolderPicker::showInEditBox() const {
    if (editBox_ != nullptr) {
        ::SetWindowTextW(editBox_, path_.c_str());
        ::SendMessageW(editBox_, EM_SETSEL, 0, -1);
    }
}

} // namespace details

std::wstring BrowseForFolder(std::wstring& initialFolder, const std::wstring& subFolder,
                             const std::wstring& title) {
    details::FolderPicker picker(initialFolder, subFolder, title, {});
    if (!picker.show(findOwnerWindow())) {
        return {};
    }
    initialFolder = removeSubFolder(picker.path(), picker.subFolder());
    return picker.path();
}

std::wstring BrowseForFolder(std::wstring& initialFolder, const std::wstring& subFolder,
                             const std::wstring& title, std::wstring& relativeFolderResult) {
    details::FolderPicker picker(initialFolder, subFolder, title, startMenuProgramsRoot());
    if (!picker.show(findOwnerWindow())) {
        return {};
    }
    initialFolder = removeSubFolder(picker.path(), picker.subFolder());
    if (picker.hasRoot()) {
        relativeFolderResult = relativeFolder(picker.rootParent(), picker.path());
    }
    return picker.path();
}

} // namespace tw
