#pragma once
// The folders an installation goes to when no earlier installation names them.

#include <string>

// Program Files\Tarnwick\Kelvane 3 (the Program Files folder is not created).
std::wstring defaultInstallFolder();

// The all-users start-menu programs folder (else the user's) \Tarnwick\Kelvane 3.
std::wstring defaultShortcutFolder();
