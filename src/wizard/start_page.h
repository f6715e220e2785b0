#pragma once
// Page 0: what this run will do, and the language.

#include "support/unique_resource.h"
#include "wizard/wizard_page.h"

#include <cstdint>
#include <string>

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
    // Gives the language list an image list for the flags, of that size.
    void attachFlagImages(SIZE flagSize);
    // Lists the start page's languages with their flags, selects the current
    // one and widens the drop-down list to the longest name.
    void fillLanguageList(SIZE flagSize);
    // Appends the language under its name with its flag (none when the flag
    // cannot be loaded); its position in the list.
    LRESULT insertLanguage(std::int32_t language, std::wstring name, SIZE flagSize);
    void onLanguageChanged();

    ui::Control languageList;
    tw::unique_himagelist flagImages;
};
