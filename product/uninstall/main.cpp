// Uninstall.exe, the product's uninstaller. Started without arguments (the
// UninstallString of the product's uninstall key) it reads "Uninstall.ulog"
// in its own folder with the installation's log reader, asks whether to
// remove the product, waits until no program of the product runs, removes
// what the log records and hands the removal of its own file to a copy of
// itself (started with /finish). Exit code 0 when removed; ERROR_ACCESS_DENIED
// without administrator rights, ERROR_FILE_CORRUPT for a missing or damaged
// log, ERROR_CANCELLED when the user declined; nothing was removed then.
#include "common/language_module.h"
#include "common/product_instance.h"
#include "uninstall/removal.h"
#include "uninstall/self_removal.h"
#include "uninstall/texts.h"

#include "install/privileges.h"
#include "install/product.h"
#include "support/product_code.h"
#include "support/program_path.h"
#include "support/single_instance.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring removedText(const uninstall::Texts& texts, const uninstall::Kept& kept) {
    std::wstring text = texts.removed;
    for (const auto& [heading, paths] :
         {std::pair{&texts.kept, &kept.changedFiles}, std::pair{&texts.links, &kept.links}}) {
        if (!paths->empty()) {
            text += L"\r\n\r\n" + uninstall::listText(*heading, *paths);
        }
    }
    return text;
}

int uninstallProduct() {
    const std::wstring uninstaller = tw::programPath();
    const std::wstring folder = kelvane::ownFolder();
    const uninstall::Texts texts = uninstall::loadTexts(folder);
    const auto say = [&texts](const std::wstring& text, UINT style) {
        return uninstall::showText(texts.caption, text, style);
    };
    if (!IsAdministrator()) {
        say(texts.notAdministrator, MB_OK | MB_ICONEXCLAMATION);
        return ERROR_ACCESS_DENIED;
    }
    const std::wstring logPath = folder + logFileName;
    const std::optional<LogContents> log = uninstall::readInstalledLog(logPath);
    if (!log) {
        say(texts.unreadableLog + L"\r\n\r\n" + logPath, MB_OK | MB_ICONEXCLAMATION);
        return ERROR_FILE_CORRUPT;
    }
    if (say(texts.confirm, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return ERROR_CANCELLED;
    }
    // This process counts as one.
    while (tw::runningCount() > 1) {
        if (say(texts.closeProduct, MB_RETRYCANCEL | MB_ICONEXCLAMATION) != IDRETRY) {
            return ERROR_CANCELLED;
        }
    }
    const uninstall::Kept kept = uninstall::removeInstallation(*log, uninstaller);
    say(removedText(texts, kept), MB_OK | MB_ICONINFORMATION);
    const std::vector<std::wstring> left =
        uninstall::handOverSelfRemoval(uninstaller, *log, {texts.caption, texts.notRemoved});
    if (!left.empty()) {
        say(uninstall::listText(texts.notRemoved, left), MB_OK | MB_ICONEXCLAMATION);
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    kelvane::startProgram();
    tw::setProductCode(product::code);
    const std::vector<std::wstring> args = kelvane::programArguments();
    if (args.empty()) {
        return uninstallProduct();
    }
    if (args.front() == uninstall::finishArgument) {
        return uninstall::finishSelfRemoval({args.begin() + 1, args.end()});
    }
    return ERROR_INVALID_PARAMETER;
}
