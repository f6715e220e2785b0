#include "wizard/mode_page.h"

#include "app/install_app.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "ui/data_exchange.h"

CDlgMode::CDlgMode()
    : ui::Dialog(IDD_MODE) {}

void CDlgMode::DoDataExchange(ui::DataExchange& exchange) {
    CInstallApp& app = theApp();
    if (!exchange.saving()) {
        modeChoice = app.advancedMode ? 1 : 0;
    }
    ui::DDX_Radio(exchange, IDC_MODE_QUICK, modeChoice);
    if (exchange.saving()) {
        app.advancedMode = modeChoice == 1;
    }
}

void CDlgMode::SetTexts() {
    setItemText(IDC_MODE_GROUP, LoadText(text::installationMethod));
    setItemText(IDC_MODE_QUICK, LoadText(text::quickInstallation));
    setItemText(IDC_MODE_ADVANCED, LoadText(text::advancedInstallation));
    setItemText(IDC_STATUS, continueStatus());
}

void CDlgMode::Relayout(int dx, int dy) {
    for (const int id : {IDC_MODE_GROUP, IDC_MODE_QUICK, IDC_MODE_ADVANCED, IDC_STATUS}) {
        item(id).grow(dx, 0);
    }
    item(IDC_STATUS).offset(0, dy);
}
