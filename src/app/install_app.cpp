#include "app/install_app.h"

#include "app/default_folders.h"
#include "app/detection.h"
#include "app/format_text.h"
#include "app/process_start.h"
#include "app/product.h"
#include "app/startup_language.h"
#include "app/texts.h"
#include "install/privileges.h"
#include "support/application_id.h"
#include "support/error.h"
#include "support/messages.h"
#include "support/product_code.h"
#include "support/providers.h"
#include "wizard/install_dlg.h"

#include <new>
#include <system_error>

namespace {
constexpr std::int32_t errorBusy = 170;
constexpr std::uint32_t exclamationOk = MB_OK | MB_ICONEXCLAMATION;
constexpr std::uint32_t exclamationRetryCancel = MB_RETRYCANCEL | MB_ICONEXCLAMATION;
} // namespace

CInstallApp::CInstallApp()
    : instanceLock(tw::applicationId() + tw::mutexSuffix, false, true) {
    tw::setProductCode(product::code);
    icon_.reset(
        static_cast<HICON>(::LoadImageW(instance(), MAKEINTRESOURCEW(product::iconResource),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_DEFAULTCOLOR)));
    tw::providers().applicationIcon = [this] { return icon_.get(); };
}

CInstallApp::~CInstallApp() {
    tw::providers().applicationIcon = nullptr;
}

CInstallApp& theApp() {
    return *static_cast<CInstallApp*>(ui::currentApp());
}

std::int32_t CInstallApp::GetExistingState(std::wstring* versionText) const {
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
    std::wstring title = LoadText(1000);
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

bool CInstallApp::PassStartupChecks() {
    if (!processorChecked()) {
        tw::showError(tw::E_UNEXPECTED_CODE);
        return false;
    }
    if (!instanceLock.tryLock()) {
        tw::showError(errorBusy);
        return false;
    }
    WinApp::InitInstance();
    ChooseStartupLanguage();
    setAppName(AppTitle(true));
    if (!IsAdministrator()) {
        tw::showMessage(LoadText(1126), exclamationOk);
        return false;
    }
    while (tw::runningCount() > 1) {
        const std::wstring text = FormatText(LoadText(1127), {ProductName(true)});
        if (tw::showMessage(text, exclamationRetryCancel) == IDCANCEL) {
            return false;
        }
    }
    return true;
}

void CInstallApp::FillDefaultFolders() {
    if (installFolder.empty()) {
        installFolder = DefaultInstallFolder();
    }
    if (shortcutFolder.empty()) {
        shortcutFolder = DefaultShortcutFolder();
    }
}

bool CInstallApp::PrepareSession() {
    if (!PassStartupChecks()) {
        return false;
    }
    DetectExistingInstallation(*this);
    FillDefaultFolders();
    menuShortcut = true;
    desktopShortcut = true;
    advancedMode = false;
    return true;
}

bool CInstallApp::InitInstance() {
    if (PrepareSession()) {
        CInstallDlg frame;
        frame.DoModal(nullptr);
        setMainWindow(nullptr);
    }
    return false;
}
