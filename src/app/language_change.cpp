#include "app/language_change.h"

#include "app/install_app.h"
#include "install/format_text.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "support/language_state.h"
#include "support/messages.h"

#include <windows.h>

namespace {

std::function<void()>& refreshHook() {
    static std::function<void()> hook;
    return hook;
}

constexpr std::uint32_t informationOk = MB_OK | MB_ICONINFORMATION;

} // namespace

void setRefreshTextsHook(std::function<void()> refreshTexts) {
    refreshHook() = std::move(refreshTexts);
}

void ChangeLanguage(std::int32_t index) {
    tw::SetLanguage(index);
    CInstallApp& app = theApp();
    if (!HasInstallerTexts(index)) {
        tw::showMessage(formatText(LoadText(text::installerInEnglish), {app.ProductName(true)}),
                        informationOk);
        tw::SetLanguage(tw::language::english);
    }
    app.setAppName(app.AppTitle(true));
    if (const std::function<void()>& refresh = refreshHook()) {
        refresh();
    }
}
