#pragma once
// The application object: the installer's entry point and the owner of the
// session settings that the wizard pages fill and the installation acts on.

#include "install/existing_state.h"
#include "install/installation_session.h"
#include "install/uninstall_log.h"
#include "support/single_instance.h"
#include "support/unique_resource.h"
#include "ui/win_app.h"

#include <cstdint>
#include <functional>
#include <string>

class CInstallApp : public ui::WinApp {
public:
    // Runs the wizard modally, with the application object as its session.
    // The program's entry point gives it, so that the application object
    // does not know the frame.
    using Wizard = std::function<void()>;

    explicit CInstallApp(Wizard wizard = {});
    ~CInstallApp() override;

    // prepareSession, then the wizard when it succeeded. Always false: the
    // program ends when the wizard closes.
    bool InitInstance() override;

    // Shows the system's text of the failure's error code.
    void ProcessWndProcException(std::exception_ptr failure) noexcept override;

    // The start-up checks, the language, the earlier installation and the
    // defaults of the session. False when a check ends the program.
    bool prepareSession();

    // existingState; for NewerInstalled and OlderInstalled also copies
    // existingVersionText into versionText when it is given.
    ExistingState GetExistingState(std::wstring* versionText = nullptr) const;

    // "Kelvane" when nameOnly, else the product label "Kelvane 3.00g".
    std::wstring ProductName(bool nameOnly) const;

    // "Installer" in the current language, followed by " – " and the product
    // label when withProduct.
    std::wstring AppTitle(bool withProduct) const;

    // The record of this session that an installation acts on: the choices
    // and findings, with the journal and the lock of this object.
    InstallationSession installationSession();

    // The session settings, in the order the wizard and the installation use them.
    ExistingState existingState = NotInstalled;
    std::wstring existingVersionText;
    tw::NamedMutex instanceLock;
    std::wstring installFolder;
    std::wstring shortcutFolder;
    std::wstring tempFolder;
    bool menuShortcut = false;
    bool desktopShortcut = false;
    bool advancedMode = false;
    UninstallLog previousLog;
    bool installSucceeded = false;
    std::uint64_t existingVersion = 0;

private:
    bool passStartupChecks();
    // Undoes the run a journal file describes and tells the user; false, after
    // saying so, when the journal cannot be acted on.
    bool undoInterruptedRun();
    void fillDefaultFolders();

    Wizard wizard_;
    tw::unique_hicon icon_;
};

// The application object of this process.
CInstallApp& theApp();
