#pragma once
// Page 1: the choice between the quick and the advanced installation.

#include "wizard/wizard_page.h"

class CDlgMode : public ui::Dialog, public WizardPage {
public:
    CDlgMode();

    ui::Dialog& dialog() override { return *this; }
    void SetTexts() override;
    void Relayout(int dx, int dy) override;

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    int modeChoice = -1; // 0 quick, 1 advanced
};
