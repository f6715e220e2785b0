#include "wizard/shortcut_page.h"

#include "app/install_app.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "support/folder_picker.h"
#include "support/product_code.h"
#include "support/shell_folder_path.h"
#include "ui/data_exchange.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace {

constexpr int maxFolderChars = 260;

std::wstring startMenuFolder() {
    return tw::shellFolderPath(nullptr, CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU);
}

std::wstring combine(const std::wstring& root, const std::wstring& relative) {
    wchar_t path[MAX_PATH] = {};
    return ::PathCombineW(path, root.c_str(), relative.c_str()) != nullptr ? path : root;
}

} // namespace

CDlgShortcut::CDlgShortcut()
    : ui::Dialog(IDD_SHORTCUT) {
    OnCommand(IDC_MENU_SHORTCUT, BN_CLICKED, [this] { enableMenuFolder(); });
    OnCommand(IDC_BROWSE, BN_CLICKED, [this] { browse(); });
}

BOOL CDlgShortcut::OnInitDialog() {
    startMenuRoot = startMenuFolder();
    Dialog::OnInitDialog();
    enableMenuFolder();
    return TRUE;
}

void CDlgShortcut::enableMenuFolder() {
    const bool checked = item(IDC_MENU_SHORTCUT).send(BM_GETCHECK) == BST_CHECKED;
    item(IDC_FOLDER).enable(checked);
    item(IDC_BROWSE).enable(checked);
}

void CDlgShortcut::DoDataExchange(ui::DataExchange& exchange) {
    CInstallApp& app = theApp();
    if (!exchange.saving()) {
        desktopCheck = app.desktopShortcut ? 1 : 0;
        menuCheck = app.menuShortcut ? 1 : 0;
        // A folder without a relative form (another drive) is shown as it
        // is, so that saving gives it back unchanged.
        menuRelative = tw::relativeFolder(startMenuRoot, app.shortcutFolder);
    }
    ui::DDX_Check(exchange, IDC_DESKTOP_SHORTCUT, desktopCheck);
    ui::DDX_Check(exchange, IDC_MENU_SHORTCUT, menuCheck);
    ui::DDX_Text(exchange, IDC_FOLDER, menuRelative);
    ui::DDV_MaxChars(exchange, menuRelative, maxFolderChars);
    if (exchange.saving()) {
        app.desktopShortcut = desktopCheck != 0;
        app.menuShortcut = menuCheck != 0;
        app.shortcutFolder = combine(startMenuRoot, menuRelative);
    }
}

void CDlgShortcut::browse() {
    UpdateData(true);
    CInstallApp& app = theApp();
    std::wstring initialFolder = app.shortcutFolder;
    std::wstring relative;
    const std::wstring chosen = tw::BrowseForFolder(initialFolder, tw::productKeyName(),
                                                    LoadText(text::menuShortcutChoice), relative);
    if (!chosen.empty()) {
        menuRelative = relative;
        app.shortcutFolder = chosen;
        UpdateData(false);
    }
}

void CDlgShortcut::SetTexts() {
    setItemText(IDC_MENU_GROUP, LoadText(text::startMenu));
    setItemText(IDC_MENU_SHORTCUT, LoadText(text::menuShortcutChoice));
    setItemText(IDC_BROWSE, LoadText(text::browse));
    setItemText(IDC_DESKTOP_SHORTCUT, LoadText(text::desktopShortcutChoice));
    setItemText(IDC_STATUS, continueStatus());
}

void CDlgShortcut::Relayout(int dx, int dy) {
    for (const int id : {IDC_MENU_GROUP, IDC_MENU_SHORTCUT, IDC_FOLDER, IDC_DESKTOP_SHORTCUT}) {
        item(id).grow(dx, 0);
    }
    item(IDC_BROWSE).offset(dx, 0);
    item(IDC_STATUS).grow(dx, 0);
    item(IDC_STATUS).offset(0, dy);
}
