#pragma once
// Shell shortcuts of the installation: the main program and the uninstaller in
// the start-menu folder, the main program on the desktop.

#include <windows.h>
#include <string>
#include <vector>

class UninstallLog;

// Makes folder\name.lnk, a shell link to target whose working folder is the
// target's folder; nothing else is set, so the shell's defaults apply. An
// empty name stands for the target's file name without its extension. An
// existing file of that name is replaced. False when the working folder or the
// link path cannot be formed within 260 characters, the folder is empty, COM
// cannot be used on this thread or the link cannot be saved. On success
// createdPath, when given, receives the full path of the ".lnk" file. COM is
// initialised for the call and left as it was found.
bool CreateShortcut(const std::wstring& target, const std::wstring& folder,
                    const std::wstring& name, std::wstring* createdPath = nullptr);

// Which shortcut, as the journal numbers them.
enum class ShortcutWhich : int {
    ProgramInMenu = 0,
    UninstallerInMenu = 1,
    ProgramOnDesktop = 2,
};

// One shortcut to make.
struct PlannedShortcut {
    ShortcutWhich which;
    std::wstring folder;
    std::wstring target;
    std::wstring name;
};

// What the user chose and what the installation produced.
struct ShortcutChoices {
    bool menuShortcut = false;
    bool desktopShortcut = false;
    std::wstring shortcutFolder;
    std::wstring desktopFolder;   // from desktopFolder; used only with desktopShortcut
    std::wstring mainProgramPath; // installed main program
    std::wstring uninstallerPath; // installed uninstaller
    std::wstring productLabel;    // "Kelvane 3.00g"
    std::wstring productName;     // "Kelvane"
};

// The shortcuts to make, in the order they are made: the main program and the
// uninstaller in the shortcut folder when menuShortcut is set, then the main
// program on the desktop when desktopShortcut is set. The uninstaller's name
// is in the current language.
std::vector<PlannedShortcut> planShortcuts(const ShortcutChoices& choices);

// Makes the planned shortcuts in order. Each is recorded in the journal before
// it is made (which also creates its folder and moves the earlier
// installation's shortcut of that kind aside) and completed with its outcome
// and, when it was made, its file. True when every shortcut was made; a
// failed one does not stop the others.
bool createPlannedShortcuts(const std::vector<PlannedShortcut>& planned, UninstallLog& journal);

// The uninstaller shortcut's name in the current language: "Uninstall %1"
// with the product name.
std::wstring uninstallShortcutName(const std::wstring& productName);

// The all users' desktop folder, or the user's own when that cannot be
// obtained; empty when neither can. The folder is not created.
std::wstring desktopFolder(HWND owner);
