#pragma once
// Page 4: the installation options, then the installation itself with its
// log, progress bar and status line.

#include "install/install_view.h"
#include "ui/control.h"
#include "wizard/wizard_page.h"

#include <string>

class CDlgInstall : public ui::Dialog, public WizardPage, public InstallView {
public:
    CDlgInstall();

    ui::Dialog& dialog() override { return *this; }
    void SetTexts() override;
    void Relayout(int dx, int dy) override;

    // Runs the installation; true when it ran to its end.
    bool DoInstall();

    // Appends text at the end of the log. An empty text, or any text with
    // heading set, becomes a line: the text centred between dashes.
    void AppendLog(const std::wstring& text, bool heading = false) override;
    void SetStatus(const std::wstring& text, bool isPath = false) override;
    void SetProgress(int percent) override;
    void ShowProgress(bool visible) override;
    HWND window() const override { return hwnd(); }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void FillOptions();
    std::wstring DashedLine(const std::wstring& text) const;

    ui::Control log;
    ui::Control progressBar;
};
