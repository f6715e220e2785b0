#pragma once
// The About box of the wizard's system menu: the installer's title, version
// and copyright line, and the maker's contact data.

#include "ui/dialog.h"

class CAboutDlg : public ui::Dialog {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
