#include "wizard/folder_page.h"

#include "app/install_app.h"
#include "install/format_text.h"
#include "install/path_rules.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "support/folder_picker.h"
#include "support/messages.h"
#include "support/product_code.h"
#include "ui/data_exchange.h"

namespace {
constexpr int maxFolderChars = 260;
}

CDlgPath::CDlgPath()
    : ui::Dialog(IDD_PATH) {
    OnCommand(IDC_BROWSE, BN_CLICKED, [this] { browse(); });
}

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
    // Leaving the page needs a complete folder; Browse only takes over where
    // the picker starts, which its own rules complete.
    if (exchange.saving() && !browsing && !isAbsoluteFolder(folderText)) {
        tw::showMessage(LoadText(text::incompleteFolder), MB_OK | MB_ICONEXCLAMATION);
        exchange.Fail();
    }
    if (exchange.saving()) {
        app.installFolder = folderText;
    }
}

void CDlgPath::browse() {
    // A folder typed into the edit box is where the picker starts; a refused
    // one has been reported, and the picker starts from the last taken folder.
    browsing = true;
    UpdateData(true);
    browsing = false;
    CInstallApp& app = theApp();
    std::wstring initialFolder = app.installFolder;
    const std::wstring chosen = tw::BrowseForFolder(
        initialFolder, tw::productKeyName(),
        formatText(LoadText(text::selectInstallFolder), {app.ProductName(true)}));
    if (!chosen.empty()) {
        app.installFolder = chosen;
        UpdateData(false);
    }
}

void CDlgPath::SetTexts() {
    setItemText(IDC_PATH_GROUP, LoadText(text::folderSelection));
    setItemText(IDC_PATH_LABEL,
                formatText(LoadText(text::selectInstallFolder), {theApp().ProductName(true)}));
    setItemText(IDC_BROWSE, LoadText(text::browse));
    setItemText(IDC_STATUS, continueStatus());
}

void CDlgPath::Relayout(int dx, int dy) {
    for (const int id : {IDC_PATH_GROUP, IDC_PATH_LABEL, IDC_FOLDER}) {
        item(id).grow(dx, 0);
    }
    item(IDC_BROWSE).offset(dx, 0);
    item(IDC_STATUS).grow(dx, 0);
    item(IDC_STATUS).offset(0, dy);
}
