#include "wizard/dlg_start.h"

#include "app/format_text.h"
#include "app/install_app.h"
#include "app/texts.h"
#include "res/resource.h"

CDlgStart::CDlgStart()
    : ui::Dialog(IDD_START) {}

void CDlgStart::SetTexts() {
    const CInstallApp& app = theApp();
    std::wstring versionText;
    const std::int32_t state = app.GetExistingState(&versionText);
    const std::wstring label = app.ProductName(false);
    const std::wstring next = LoadText(1006);
    const std::wstring cancel = LoadText(1002);

    std::wstring information;
    std::wstring status;
    switch (state) {
    case OlderInstalled:
        information = FormatText(LoadText(1101), {versionText, label});
        status = FormatText(LoadText(1106), {next});
        break;
    case SameInstalled:
        information = FormatText(LoadText(1102), {label}) + L"\r\n" + LoadText(1104);
        status = FormatText(LoadText(1105), {next, cancel});
        break;
    case NewerInstalled:
        information = FormatText(LoadText(1100), {label}) + L"\r\n" +
                      FormatText(LoadText(1103), {versionText});
        status = FormatText(LoadText(1107), {cancel});
        break;
    default:
        information = FormatText(LoadText(1100), {label});
        status = FormatText(LoadText(1106), {next});
        break;
    }
    setItemText(IDC_START_INFO, information);
    setItemText(IDC_STATUS, status);
    setItemText(IDC_START_PRODUCT, FormatText(LoadText(1109), {label}));
    setItemText(IDC_START_LANGUAGE_LABEL, LoadText(1014));
}

void CDlgStart::Relayout(int dx, int dy) {
    item(IDC_START_LANGUAGES).grow(dx, 0);
    item(IDC_START_PRODUCT).grow(dx, 0);
    item(IDC_START_INFO).grow(dx, dy);
    item(IDC_STATUS).grow(dx, 0);
    item(IDC_STATUS).offset(0, dy);
}
