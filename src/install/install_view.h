#pragma once
// What the installation sequence shows the user while it runs: the progress
// page's log, status line and progress bar, and where it keeps the paths of
// the installed programs.

#include <windows.h>
#include <string>

class InstallView {
public:
    virtual ~InstallView() = default;

    // Appends to the log; an empty text or a heading becomes a dash line.
    virtual void AppendLog(const std::wstring& text, bool heading = false) = 0;
    // Sets the status line; a path is shortened with an ellipsis to fit.
    virtual void SetStatus(const std::wstring& text, bool isPath = false) = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void ShowProgress(bool visible) = 0;
    // The window that owns what the installation shows.
    virtual HWND window() const = 0;

    std::wstring mainProgramPath;
    std::wstring uninstallerPath;
};
