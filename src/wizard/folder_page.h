#pragma once
// Page 2 (advanced installation): the installation folder.

#include "wizard/wizard_page.h"

#include <string>

class CDlgPath : public ui::Dialog, public WizardPage {
public:
    CDlgPath();

    ui::Dialog& dialog() override { return *this; }
    void SetTexts() override;
    void Relayout(int dx, int dy) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void browse();

    std::wstring folderText;
    // Browse is taking over the typed folder.
    bool browsing = false;
};
