#include "wizard/progress_page.h"

#include "app/install_app.h"
#include "install/format_text.h"
#include "install/install_sequence.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "support/unique_resource.h"
#include "ui/data_exchange.h"
#include "wizard/log_heading.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace {

// The wait cursor for as long as the installation runs.
class WaitCursor {
public:
    WaitCursor()
        : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

int stepText(InstallStep step) {
    switch (step) {
    case InstallStep::Preparation:
        return text::preparing;
    case InstallStep::Shortcuts:
        return text::creatingShortcuts;
    case InstallStep::RegistryData:
        return text::writingRegistryData;
    case InstallStep::InstallationData:
        return text::writingInstallationData;
    }
    return text::preparing;
}

std::wstring failureText(const std::wstring& errorCode) {
    return formatText(LoadText(text::installationFailed), {errorCode});
}

} // namespace

CDlgInstall::CDlgInstall()
    : ui::Dialog(IDD_PROGRESS) {}

BOOL CDlgInstall::OnInitDialog() {
    Dialog::OnInitDialog();
    progressBar.send(PBM_SETRANGE32, 0, 100);
    progressBar.show(false);
    return TRUE;
}

void CDlgInstall::DoDataExchange(ui::DataExchange& exchange) {
    ui::DDX_Control(exchange, IDC_PROGRESS_LOG, log);
    ui::DDX_Control(exchange, IDC_PROGRESS_BAR, progressBar);
    if (!exchange.saving() && !theApp().installSucceeded) {
        fillOptions();
    }
}

void CDlgInstall::fillOptions() {
    const CInstallApp& app = theApp();
    log.setText(L"");
    AppendLog(formatText(LoadText(text::productInstallation), {app.ProductName(false)}) + L"\r\n");
    AppendLog(LoadText(text::installationOptions), true);
    AppendLog(
        formatText(LoadText(text::installationFolderOption), {quotedPath(app.installFolder)}) +
        L"\r\n");
    if (app.menuShortcut) {
        AppendLog(formatText(LoadText(text::menuShortcutOption), {quotedPath(app.shortcutFolder)}) +
                  L"\r\n");
    }
    if (app.desktopShortcut) {
        AppendLog(LoadText(text::desktopShortcutOption) + L"\r\n");
    }
    // Back to the first line, one line at a time, as long as that moves.
    for (LRESULT first = log.send(EM_GETFIRSTVISIBLELINE); first != 0;) {
        log.send(EM_LINESCROLL, 0, static_cast<LPARAM>(-1));
        const LRESULT now = log.send(EM_GETFIRSTVISIBLELINE);
        if (now >= first) {
            break;
        }
        first = now;
    }
}

std::wstring CDlgInstall::dashedLine(const std::wstring& text) const {
    RECT client{};
    ::GetClientRect(log.hwnd(), &client);
    const LRESULT margins = log.send(EM_GETMARGINS);
    const int available = client.right - client.left - LOWORD(margins) - HIWORD(margins) - 2;

    const tw::window_dc dc(log.hwnd());
    const tw::selected_object font(dc.get(), reinterpret_cast<HGDIOBJ>(log.send(WM_GETFONT)));
    const auto measure = [&dc](const std::wstring& piece) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc.get(), piece.c_str(), static_cast<int>(piece.size()), &size);
        return static_cast<int>(size.cx);
    };
    return wizard::dashedLine(text, available, measure(L"-"), measure);
}

void CDlgInstall::AppendLog(const std::wstring& text, bool heading) {
    const std::wstring piece = text.empty() || heading ? dashedLine(text) : text;
    log.send(EM_SETSEL, 0x7FFFFFFF, -1);
    log.send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
    log.send(EM_LINESCROLL, 0, 1);
    // The installation runs without a message loop: paint now.
    ::UpdateWindow(log.hwnd());
}

void CDlgInstall::SetStatus(const std::wstring& text, bool isPath) {
    if (isPath) {
        ::PathSetDlgItemPathW(hwnd(), IDC_STATUS, text.c_str());
    } else {
        setItemText(IDC_STATUS, text);
    }
    ::UpdateWindow(item(IDC_STATUS).hwnd());
}

void CDlgInstall::SetProgress(int percent) {
    progressBar.send(PBM_SETPOS, static_cast<WPARAM>(percent));
    ::UpdateWindow(progressBar.hwnd());
}

bool CDlgInstall::DoInstall() {
    CInstallApp& app = theApp();
    const WaitCursor waiting;
    const InstallationResult result = runInstallation(app.installationSession(), *this);
    app.tempFolder = result.tempFolder;
    return result.succeeded;
}

void CDlgInstall::runStarted() {
    AppendLog(L"", true);
    SetStatus(LoadText(text::preparing));
}

void CDlgInstall::preparationFailed(const std::wstring& errorCode) {
    const std::wstring message = failureText(errorCode);
    SetStatus(message);
    AppendLog(message + L"\r\n");
}

void CDlgInstall::extractionStarted() {
    SetProgress(0);
    progressBar.show(true);
}

void CDlgInstall::stepStarted(InstallStep step) {
    const std::wstring announced = LoadText(stepText(step));
    SetStatus(announced);
    AppendLog(announced);
}

void CDlgInstall::stepEnded(bool succeeded) {
    AppendLog(stepOutcome(succeeded));
}

void CDlgInstall::fileStarted(const std::wstring& path) {
    const std::wstring copying = formatText(LoadText(text::copyingFile), {quotedPath(path)});
    SetStatus(copying, true);
    AppendLog(copying);
}

void CDlgInstall::fileEnded() {
    AppendLog(stepOutcome(true));
}

void CDlgInstall::progress(int percent) {
    SetProgress(percent);
}

void CDlgInstall::failed(const std::wstring& errorCode) {
    AppendLog(stepOutcome(false));
    SetStatus(failureText(errorCode));
}

void CDlgInstall::runEnded() {
    SetStatus(continueStatus());
}

void CDlgInstall::SetTexts() {
    SetStatus(formatText(LoadText(text::clickToStart), {LoadText(text::install)}));
}

void CDlgInstall::Relayout(int dx, int dy) {
    log.grow(dx, dy);
    for (const ui::Control& below : {progressBar, item(IDC_STATUS)}) {
        below.grow(dx, 0);
        below.offset(0, dy);
    }
}
