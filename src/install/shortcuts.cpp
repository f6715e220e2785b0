#include "install/shortcuts.h"

#include "install/format_text.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "install/uninstall_log.h"
#include "support/com_scope.h"
#include "support/shell_folder_path.h"
#include "support/unique_resource.h"

#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

// A wide path copied into a buffer of 260 characters; false when it does not
// fit, since a cut path would name another file.
bool copyPath(const std::wstring& path, wchar_t (&buffer)[MAX_PATH]) {
    if (path.size() >= MAX_PATH) {
        return false;
    }
    path.copy(buffer, path.size());
    buffer[path.size()] = L'\0';
    return true;
}

std::wstring nameOfTarget(const std::wstring& target) {
    wchar_t name[MAX_PATH] = {};
    if (!copyPath(::PathFindFileNameW(target.c_str()), name)) {
        return {};
    }
    ::PathRemoveExtensionW(name);
    return name;
}

bool saveLink(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* linkPath) {
    tw::com_ptr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void()))) {
        return false;
    }
    link->SetPath(target);
    link->SetWorkingDirectory(workingFolder);
    tw::com_ptr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) {
        return false;
    }
    return SUCCEEDED(file->Save(linkPath, TRUE));
}

// folder\\name.lnk; empty when it cannot be formed within 260 characters.
std::wstring linkFileOf(const std::wstring& target, const std::wstring& folder,
                        const std::wstring& name) {
    // An empty folder would put the link into whatever the current folder is.
    wchar_t linkBase[MAX_PATH] = {};
    if (folder.empty() || !copyPath(folder, linkBase)) {
        return {};
    }
    const std::wstring linkName = name.empty() ? nameOfTarget(target) : name;
    if (linkName.empty() || !::PathAppendW(linkBase, linkName.c_str())) {
        return {};
    }
    // Appended as text: the name may hold dots ("Kelvane 3.00g") that the
    // shell's extension functions would take for an extension.
    std::wstring linkPath = std::wstring(linkBase) + L".lnk";
    return linkPath.size() < MAX_PATH ? linkPath : std::wstring();
}

} // namespace

bool CreateShortcut(const std::wstring& target, const std::wstring& folder,
                    const std::wstring& name, std::wstring* createdPath) {
    wchar_t workingFolder[MAX_PATH] = {};
    if (!copyPath(target, workingFolder) || !::PathRemoveFileSpecW(workingFolder)) {
        return false;
    }
    const std::wstring linkPath = linkFileOf(target, folder, name);
    if (linkPath.empty()) {
        return false;
    }

    bool saved = false;
    {
        const tw::ComScope com;
        if (!com.usable()) {
            return false;
        }
        saved = saveLink(target.c_str(), workingFolder, linkPath.c_str());
    }
    if (saved && createdPath != nullptr) {
        *createdPath = linkPath;
    }
    return saved;
}

bool createPlannedShortcuts(const std::vector<PlannedShortcut>& planned, UninstallLog& journal) {
    bool all = true;
    for (const PlannedShortcut& shortcut : planned) {
        journal.AddShortcut(static_cast<int>(shortcut.which), shortcut.folder,
                            linkFileOf(shortcut.target, shortcut.folder, shortcut.name));
        std::wstring created;
        if (CreateShortcut(shortcut.target, shortcut.folder, shortcut.name, &created)) {
            journal.CompleteLast(true, created);
        } else {
            journal.CompleteLast(false);
            all = false;
        }
    }
    return all;
}

std::wstring uninstallShortcutName(const std::wstring& productName) {
    return formatText(LoadText(text::uninstallShortcut), {productName});
}

std::vector<PlannedShortcut> planShortcuts(const ShortcutChoices& choices) {
    std::vector<PlannedShortcut> planned;
    if (choices.menuShortcut) {
        planned.push_back({ShortcutWhich::ProgramInMenu, choices.shortcutFolder,
                           choices.mainProgramPath, choices.productLabel});
        planned.push_back({ShortcutWhich::UninstallerInMenu, choices.shortcutFolder,
                           choices.uninstallerPath, uninstallShortcutName(choices.productName)});
    }
    if (choices.desktopShortcut) {
        planned.push_back({ShortcutWhich::ProgramOnDesktop, choices.desktopFolder,
                           choices.mainProgramPath, choices.productLabel});
    }
    return planned;
}

std::wstring desktopFolder(HWND owner) {
    return tw::shellFolderPath(owner, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY);
}
