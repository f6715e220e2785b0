#pragma once
// Page 5: the installation is complete.

#include "wizard/wizard_page.h"

class CDlgEnd : public ui::Dialog, public WizardPage {
public:
    CDlgEnd();

    ui::Dialog& dialog() override { return *this; }
    void SetTexts() override;
    void Relayout(int dx, int dy) override;

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
};
