#pragma once
// The wizard's main window: the side picture, the page area and the Back,
// Next and Exit buttons. It owns the six pages, shows one at a time, moves
// the user's choices between the pages and the session, starts the
// installation from the progress page, and decides when the user may leave.

#include "support/unique_resource.h"
#include "ui/dialog.h"
#include "wizard/end_page.h"
#include "wizard/folder_page.h"
#include "wizard/mode_page.h"
#include "wizard/navigation.h"
#include "wizard/progress_page.h"
#include "wizard/shortcut_page.h"
#include "wizard/start_page.h"

#include <array>

class CInstallDlg : public ui::Dialog {
public:
    CInstallDlg();
    ~CInstallDlg() override;

    // Leaves the current page (saving it; a failed validation keeps the user
    // there) and shows the target, passing over the advanced pages in quick
    // mode; the current page as target stays shown and gets its buttons anew.
    void ShowPage(int target);
    void UpdateButtons();
    // Re-applies every text of the frame and its pages in the current language.
    void RefreshTexts();

protected:
    BOOL OnInitDialog() override;
    // Next, or Install on the progress page.
    void OnOK() override;
    // Exit, also Escape and the close box.
    void OnCancel() override;
    std::optional<INT_PTR> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void showSidePicture();
    bool createPages();
    void layOutPages();
    void setAboutEntry(bool replace);
    void install();

    CDlgStart startPage;
    CDlgMode modePage;
    CDlgPath folderPage;
    CDlgShortcut shortcutPage;
    CDlgInstall progressPage;
    CDlgEnd endPage;
    // The pages in the order of wizard::Page.
    std::array<WizardPage*, wizard::pageCount> pages{};
    int currentPage = -1;
    // The side picture drawn for the display's scaling, when the template's
    // own is not; its control shows it as long as the window exists.
    tw::unique_gdiobj sidePicture;
};
