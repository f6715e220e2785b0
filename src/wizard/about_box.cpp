#include "wizard/about_box.h"

#include "app/install_app.h"
#include "install/format_text.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "support/version_info.h"
#include "ui/control.h"

CAboutDlg::CAboutDlg()
    : ui::Dialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ui::Control window(hwnd());
    std::wstring title = LoadText(text::about);
    if (title.empty()) {
        title = window.text();
    }
    window.setText(formatText(title, {theApp().AppTitle(false)}));

    const tw::VersionInfo own = tw::VersionInfo::fromOwnModule();
    if (const std::wstring version = own.displayName(); !version.empty()) {
        setItemText(IDC_ABOUT_VERSION, version);
    }
    if (const std::wstring notice = own.legalNotice(); !notice.empty()) {
        setItemText(IDC_ABOUT_COPYRIGHT, notice);
    }
    setItemText(IDOK, LoadText(text::ok));
    return TRUE;
}
