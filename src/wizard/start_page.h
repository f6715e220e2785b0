#pragma once
// Page 0: what this run will do, and the language.

#include "support/unique_resource.h"
#include "wizard/wizard_page.h"

class CDlgStart : public ui::Dialog, public WizardPage {
public:
    CDlgStart();

    ui::Dialog& dialog() override { return *this; }
    void SetTexts() override;
    void Relayout(int dx, int dy) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void onLanguageChanged();

    ui::Control languageList;
    tw::unique_himagelist flagImages;
};
