#include "wizard/about_box.h"

#include "app/format_text.h"
#include "app/install_app.h"
#include "app/texts.h"
#include "res/resource.h"
#include "support/version_info.h"
#include "ui/control.h"

CAboutDlg::CAboutDlg()
    : ui::Dialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ui::Control window(hwnd());
    std::wstring title = LoadText(1003);
    if (title.empty()) {
        title = window.text();
    }
    window.setText(FormatText(title, {theApp().AppTitle(false)}));

    const tw::VersionInfo own = tw::VersionInfo::fromOwnModule();
    if (const std::wstring version = own.displayName(); !version.empty()) {
        setItemText(IDC_ABOUT_VERSION, version);
    }
    if (const std::wstring notice = own.legalNotice(); !notice.empty()) {
        setItemText(IDC_ABOUT_COPYRIGHT, notice);
    }
    setItemText(IDOK, LoadText(1001));
    return TRUE;
}
