#pragma once
// Page 4: the installation options, then the installation itself with its
// log, progress bar and status line, which show what the installation
// reports.

#include "install/install_progress.h"
#include "ui/control.h"
#include "wizard/wizard_page.h"

#include <string>

class CDlgInstall : public ui::Dialog, public WizardPage, private InstallProgress {
public:
    CDlgInstall();

    ui::Dialog& dialog() override { return *this; }
    void SetTexts() override;
    void Relayout(int dx, int dy) override;

    // Runs the installation of the session under the wait cursor; true when
    // it ran to its end.
    bool DoInstall();

    // Appends text at the end of the log. An empty text, or any text with
    // heading set, becomes a line: the text centred between dashes.
    void AppendLog(const std::wstring& text, bool heading = false);
    // Sets the status line; a path is shortened with an ellipsis to fit.
    void SetStatus(const std::wstring& text, bool isPath = false);
    void SetProgress(int percent);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    // What the installation reports, in the page's texts.
    void runStarted() override;
    void preparationFailed(const std::wstring& errorCode) override;
    void extractionStarted() override;
    void stepStarted(InstallStep step) override;
    void stepEnded(bool succeeded) override;
    void fileStarted(const std::wstring& path) override;
    void fileEnded() override;
    void progress(int percent) override;
    void failed(const std::wstring& errorCode) override;
    void runEnded() override;

    void fillOptions();
    std::wstring dashedLine(const std::wstring& text) const;

    ui::Control log;
    ui::Control progressBar;
};
