#include "wizard/dlg_path.h"

#include "app/format_text.h"
#include "app/install_app.h"
#include "app/texts.h"
#include "res/resource.h"
#include "ui/data_exchange.h"

namespace {
constexpr int maxFolderChars = 260;
}

CDlgPath::CDlgPath()
    : ui::Dialog(IDD_PATH) {}

BOOL CDlgPath::OnInitDialog() {
    Dialog::OnInitDialog();
    if (theApp().existingState != NotInstalled) {
        // An update or a reinstallation goes where the earlier installation is.
        item(IDC_PATH_LABEL).enable(false);
        item(IDC_BROWSE).enable(false);
        item(IDC_FOLDER).send(EM_SETREADONLY, TRUE);
    }
    return TRUE;
}

void CDlgPath::DoDataExchange(ui::DataExchange& exchange) {
    CInstallApp& app = theApp();
    if (!exchange.saving()) {
        folderText = app.installFolder;
    }
    ui::DDX_Text(exchange, IDC_FOLDER, folderText);
    ui::DDV_MaxChars(exchange, folderText, maxFolderChars);
    if (exchange.saving()) {
        app.installFolder = folderText;
    }
}

void CDlgPath::SetTexts() {
    setItemText(IDC_PATH_GROUP, LoadText(1010));
    setItemText(IDC_PATH_LABEL, FormatText(LoadText(1111), {theApp().ProductName(true)}));
    setItemText(IDC_BROWSE, LoadText(1008));
    setItemText(IDC_STATUS, ContinueStatus());
}

void CDlgPath::Relayout(int dx, int dy) {
    for (const int id : {IDC_PATH_GROUP, IDC_PATH_LABEL, IDC_FOLDER}) {
        item(id).grow(dx, 0);
    }
    item(IDC_BROWSE).offset(dx, 0);
    item(IDC_STATUS).grow(dx, 0);
    item(IDC_STATUS).offset(0, dy);
}
