#include "wizard/install_dlg.h"

#include "app/install_app.h"
#include "app/texts.h"
#include "res/resource.h"
#include "support/providers.h"

CInstallDlg::CInstallDlg()
    : ui::Dialog(IDD_INSTALL) {}

BOOL CInstallDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    theApp().setMainWindow(hwnd());
    ::SetWindowTextW(hwnd(), theApp().AppTitle(true).c_str());
    if (const auto& iconProvider = tw::providers().applicationIcon) {
        if (HICON icon = iconProvider(); icon != nullptr) {
            ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        }
    }
    setItemText(IDOK, LoadText(1006) + L"  >");
    setItemText(IDC_BACK, L"<  " + LoadText(1005));
    setItemText(IDCANCEL, LoadText(1002));
    item(IDC_BACK).enable(false);
    return TRUE;
}

void CInstallDlg::OnCancel() {
    EndDialog(theApp().installSucceeded ? 1 : 2);
}
