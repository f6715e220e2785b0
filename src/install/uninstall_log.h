#pragma once
// The installation journal and the uninstall log.
//
// STAND-IN: the session holds an empty journal; reading an earlier log,
// recording changes, rolling back and writing the log arrive with the journal work.

#include <string>

class UninstallLog {
public:
    std::wstring installPath;
    std::wstring shortcutPath;
    std::wstring previousLabel;
};
