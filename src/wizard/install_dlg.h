#pragma once
// The wizard's main window: the side picture, the page area and the Back,
// Next and Exit buttons.

#include "ui/dialog.h"

class CInstallDlg : public ui::Dialog {
public:
    CInstallDlg();

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
};
