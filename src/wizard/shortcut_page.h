#pragma once
// Page 3 (advanced installation): the start-menu folder and which shortcuts
// are made.

#include "wizard/wizard_page.h"

#include <string>

class CDlgShortcut : public ui::Dialog, public WizardPage {
public:
    CDlgShortcut();

    ui::Dialog& dialog() override { return *this; }
    void SetTexts() override;
    void Relayout(int dx, int dy) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void enableMenuFolder();
    void browse();

    int desktopCheck = 0;
    int menuCheck = 0;
    std::wstring menuRelative;
    std::wstring startMenuRoot;
};
