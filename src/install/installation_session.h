#pragma once
// What one installation acts on: the user's choices, the findings about an
// earlier installation, the session's journal and single-instance lock. The
// application fills it from its session settings.

#include "install/existing_state.h"
#include "install/uninstall_log.h"
#include "support/single_instance.h"

#include <cstdint>
#include <string>

struct InstallationSession {
    std::wstring installFolder;
    std::wstring shortcutFolder;
    bool menuShortcut = false;
    bool desktopShortcut = false;
    ExistingState existingState = NotInstalled;
    // The earlier installation's file version when it is updated, else 0.
    std::uint64_t existingVersion = 0;
    // The product label "Kelvane 3.00g" and the short name "Kelvane".
    std::wstring productLabel;
    std::wstring productName;
    // The journal of this run, loaded with the earlier installation's log.
    UninstallLog& journal;
    // Held for the session; lent to the installed main program while it runs.
    tw::NamedMutex& instanceLock;
};

// What a run leaves for the session.
struct InstallationResult {
    // The run went to its end.
    bool succeeded = false;
    // The run's temporary working folder; empty when none could be named.
    std::wstring tempFolder;
};
