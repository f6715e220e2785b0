#pragma once
// Where shortcuts go. Apart from the shortcuts themselves (shortcuts.h), whose
// names are localised texts: the uninstaller asks for these folders and
// links neither the installer's texts nor its journal.

#include <string>
#include <vector>

// The folders shortcuts go to, as the shell names them: the all users' and
// the user's start menus (the shortcut page offers folders below the start
// menu) and desktops.
std::vector<std::wstring> shortcutPlaces();
