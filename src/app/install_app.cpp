#include "app/install_app.h"

#include "app/default_folders.h"
#include "app/detection.h"
#include "app/process_start.h"
#include "app/startup_language.h"
#include "install/format_text.h"
#include "install/privileges.h"
#include "install/product.h"
#include "install/recovery.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "support/application_id.h"
#include "support/error.h"
#include "support/messages.h"
#include "support/product_code.h"
#include "support/providers.h"

#include <new>
#include <system_error>

namespace {
constexpr std::int32_t errorBusy = 170;
constexpr std::uint32_t exclamationOk = MB_OK | MB_ICONEXCLAMATION;
constexpr std::uint32_t informationOk = MB_OK | MB_ICONINFORMATION;
constexpr std::uint32_t exclamationRetryCancel = MB_RETRYCANCEL | MB_ICONEXCLAMATION;
} // namespace

CInstallApp::CInstallApp(Wizard wizard)
    : instanceLock(tw::applicationId() + tw::mutexSuffix, false, true)
    , wizard_(std::move(wizard)) {
    tw::setProductCode(product::code);
    icon_.reset(
        static_cast<HICON>(::LoadImageW(instance(), MAKEINTRESOURCEW(product::iconResource),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_DEFAULTCOLOR)));
    tw::providers().applicationIcon = [this] { return icon_.get(); };
    // The library names its message boxes after the framework's application
    // once it has a name.
    tw::providers().applicationName = [this] {
        return appName().empty() ? tw::applicationNameFallback() : appName();
    };
}

CInstallApp::~CInstallApp() {
    tw::providers().applicationIcon = nullptr;
    tw::providers().applicationName = nullptr;
}

CInstallApp& theApp() {
    return *static_cast<CInstallApp*>(ui::currentApp());
}

ExistingState CInstallApp::GetExistingState(std::wstring* versionText) const {
    if (versionText != nullptr &&
        (existingState == NewerInstalled || existingState == OlderInstalled)) {
        *versionText = existingVersionText;
    }
    return existingState;
}

std::wstring CInstallApp::ProductName(bool nameOnly) const {
    return nameOnly ? std::wstring(product::name)
                    : std::wstring(product::name) + L" " + product::versionText;
}

std::wstring CInstallApp::AppTitle(bool withProduct) const {
    std::wstring title = LoadText(text::installer);
    if (withProduct) {
        title += L" \u2013 " + ProductName(false);
    }
    return title;
}

void CInstallApp::ProcessWndProcException(std::exception_ptr failure) noexcept {
    try {
        tw::showError(tw::userCode(failure));
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

bool CInstallApp::passStartupChecks() {
    if (!processorChecked()) {
        tw::showError(tw::E_UNEXPECTED_CODE);
        return false;
    }
    if (!instanceLock.tryLock()) {
        tw::showError(errorBusy);
        return false;
    }
    WinApp::InitInstance();
    chooseStartupLanguage();
    setAppName(AppTitle(true));
    if (!IsAdministrator()) {
        tw::showMessage(LoadText(text::needsAdministrator), exclamationOk);
        return false;
    }
    while (tw::runningCount() > 1) {
        const std::wstring message = formatText(LoadText(text::closeProduct), {ProductName(true)});
        if (tw::showMessage(message, exclamationRetryCancel) == IDCANCEL) {
            return false;
        }
    }
    return undoInterruptedRun();
}

bool CInstallApp::undoInterruptedRun() {
    const Recovery recovery = recoverInterruptedRun();
    switch (recovery.outcome) {
    case Recovery::Outcome::None:
        return true;
    case Recovery::Outcome::Undone:
        tw::showMessage(formatText(LoadText(text::interruptedUndone), {ProductName(false)}),
                        informationOk);
        return true;
    case Recovery::Outcome::Unreadable:
        tw::showMessage(formatText(LoadText(text::journalUnreadable), {recovery.journalPath}),
                        exclamationOk);
        return false;
    }
    return false;
}

void CInstallApp::fillDefaultFolders() {
    if (installFolder.empty()) {
        installFolder = defaultInstallFolder();
    }
    if (shortcutFolder.empty()) {
        shortcutFolder = defaultShortcutFolder();
    }
}

bool CInstallApp::prepareSession() {
    if (!passStartupChecks()) {
        return false;
    }
    detectExistingInstallation(*this);
    fillDefaultFolders();
    menuShortcut = true;
    desktopShortcut = true;
    advancedMode = false;
    return true;
}

InstallationSession CInstallApp::installationSession() {
    return {.installFolder = installFolder,
            .shortcutFolder = shortcutFolder,
            .menuShortcut = menuShortcut,
            .desktopShortcut = desktopShortcut,
            .existingState = existingState,
            .existingVersion = existingVersion,
            .productLabel = ProductName(false),
            .productName = ProductName(true),
            .journal = previousLog,
            .instanceLock = instanceLock};
}

bool CInstallApp::InitInstance() {
    if (prepareSession() && wizard_) {
        wizard_();
        setMainWindow(nullptr);
    }
    return false;
}
