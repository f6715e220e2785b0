#include "wizard/progress_page.h"

#include "app/format_text.h"
#include "app/install_app.h"
#include "app/texts.h"
#include "install/install_sequence.h"
#include "res/resource.h"
#include "support/unique_resource.h"
#include "ui/data_exchange.h"
#include "wizard/log_heading.h"

#include <commctrl.h>
#include <shlwapi.h>

CDlgInstall::CDlgInstall()
    : ui::Dialog(IDD_PROGRESS) {}

BOOL CDlgInstall::OnInitDialog() {
    Dialog::OnInitDialog();
    progressBar.send(PBM_SETRANGE32, 0, 100);
    ShowProgress(false);
    return TRUE;
}

void CDlgInstall::DoDataExchange(ui::DataExchange& exchange) {
    ui::DDX_Control(exchange, IDC_PROGRESS_LOG, log);
    ui::DDX_Control(exchange, IDC_PROGRESS_BAR, progressBar);
    if (!exchange.saving() && !theApp().installSucceeded) {
        FillOptions();
    }
}

void CDlgInstall::FillOptions() {
    const CInstallApp& app = theApp();
    log.setText(L"");
    AppendLog(FormatText(LoadText(1100), {app.ProductName(false)}) + L"\r\n");
    AppendLog(LoadText(1122), true);
    AppendLog(FormatText(LoadText(1123), {QuotedPath(app.installFolder)}) + L"\r\n");
    if (app.menuShortcut) {
        AppendLog(FormatText(LoadText(1124), {QuotedPath(app.shortcutFolder)}) + L"\r\n");
    }
    if (app.desktopShortcut) {
        AppendLog(LoadText(1125) + L"\r\n");
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

std::wstring CDlgInstall::DashedLine(const std::wstring& text) const {
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
    const std::wstring piece = text.empty() || heading ? DashedLine(text) : text;
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

void CDlgInstall::ShowProgress(bool visible) {
    progressBar.show(visible);
}

bool CDlgInstall::DoInstall() {
    return RunInstallation(*this);
}

void CDlgInstall::SetTexts() {
    SetStatus(FormatText(LoadText(1108), {LoadText(1007)}));
}

void CDlgInstall::Relayout(int dx, int dy) {
    log.grow(dx, dy);
    for (const ui::Control& below : {progressBar, item(IDC_STATUS)}) {
        below.grow(dx, 0);
        below.offset(0, dy);
    }
}
