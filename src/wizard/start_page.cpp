#include "wizard/start_page.h"

#include "app/install_app.h"
#include "app/language_change.h"
#include "install/format_text.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "support/common_controls.h"
#include "support/language_state.h"
#include "ui/data_exchange.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// The flags: square icons of the display's small-icon size, in cells of that
// size; the list shows through the bands above and below each flag.
constexpr UINT flagImageFormat = ILC_COLOR24 | ILC_MASK;
constexpr int initialFlagCount = 8;
constexpr int flagGrowth = 1;
// Room beside the longest name in the drop-down list for its flag and margins.
constexpr int dropDownMargin = 30;

SIZE smallIconSize() {
    return {::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)};
}

tw::unique_hicon loadFlag(std::int32_t language, SIZE size) {
    return tw::unique_hicon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(flagIcon(language)), IMAGE_ICON,
                     size.cx, size.cy, LR_DEFAULTCOLOR)));
}

// The width of the text in the device context's font.
LONG textWidth(HDC dc, const std::wstring& text) {
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

} // namespace

CDlgStart::CDlgStart()
    : ui::Dialog(IDD_START) {
    OnCommand(IDC_START_LANGUAGES, CBN_SELCHANGE, [this] { onLanguageChanged(); });
}

void CDlgStart::DoDataExchange(ui::DataExchange& exchange) {
    ui::DDX_Control(exchange, IDC_START_LANGUAGES, languageList);
}

BOOL CDlgStart::OnInitDialog() {
    Dialog::OnInitDialog();
    const SIZE flagSize = smallIconSize();
    attachFlagImages(flagSize);
    fillLanguageList(flagSize);
    return TRUE;
}

void CDlgStart::attachFlagImages(SIZE flagSize) {
    flagImages.reset(tw::createImageList(flagSize.cx, flagSize.cy, flagImageFormat,
                                         initialFlagCount, flagGrowth));
    languageList.send(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(flagImages.get()));
}

void CDlgStart::fillLanguageList(SIZE flagSize) {
    const std::int32_t current = tw::currentLanguage().languageIndex;
    LRESULT selected = CB_ERR;
    const tw::window_dc dc(languageList.hwnd());
    const tw::selected_object font(
        dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::int32_t language : StartPageLanguages) {
        const std::wstring name = tw::nativeLanguageName(language);
        const LRESULT position = insertLanguage(language, name, flagSize);
        if (language == current) {
            selected = position;
        }
        widest = std::max(widest, textWidth(dc.get(), name));
    }
    languageList.send(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + dropDownMargin));
    if (selected != CB_ERR) {
        languageList.send(CB_SETCURSEL, static_cast<WPARAM>(selected));
    }
}

LRESULT CDlgStart::insertLanguage(std::int32_t language, std::wstring name, SIZE flagSize) {
    const tw::unique_hicon flag = loadFlag(language, flagSize);
    const int image = flag ? tw::addImageListIcon(flagImages.get(), flag.get()) : -1;
    COMBOBOXEXITEMW entry{};
    entry.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    entry.iItem = -1;
    entry.pszText = name.data();
    entry.iImage = image;
    entry.iSelectedImage = image;
    entry.lParam = language;
    return languageList.send(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
}

void CDlgStart::onLanguageChanged() {
    const LRESULT position = languageList.send(CB_GETCURSEL);
    if (position == CB_ERR) {
        return;
    }
    COMBOBOXEXITEMW entry{};
    entry.mask = CBEIF_LPARAM;
    entry.iItem = position;
    if (!languageList.send(CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry))) {
        return;
    }
    // The list keeps the picked language even when the installer goes on in English.
    ChangeLanguage(static_cast<std::int32_t>(entry.lParam));
}

void CDlgStart::SetTexts() {
    const CInstallApp& app = theApp();
    std::wstring versionText;
    const ExistingState state = app.GetExistingState(&versionText);
    const std::wstring label = app.ProductName(false);
    const std::wstring next = LoadText(text::next);
    const std::wstring cancel = LoadText(text::cancel);

    std::wstring information;
    std::wstring status;
    switch (state) {
    case OlderInstalled:
        information = formatText(LoadText(text::updateFromTo), {versionText, label});
        status = formatText(LoadText(text::clickToContinue), {next});
        break;
    case SameInstalled:
        information = formatText(LoadText(text::alreadyInstalled), {label}) + L"\r\n" +
                      LoadText(text::confirmReinstallation);
        status = formatText(LoadText(text::continueOrExit), {next, cancel});
        break;
    case NewerInstalled:
        information = formatText(LoadText(text::productInstallation), {label}) + L"\r\n" +
                      formatText(LoadText(text::newerInstalled), {versionText});
        status = formatText(LoadText(text::clickToExit), {cancel});
        break;
    default:
        information = formatText(LoadText(text::productInstallation), {label});
        status = formatText(LoadText(text::clickToContinue), {next});
        break;
    }
    setItemText(IDC_START_INFO, information);
    setItemText(IDC_STATUS, status);
    setItemText(IDC_START_PRODUCT, formatText(LoadText(text::productNotice), {label}));
    setItemText(IDC_START_LANGUAGE_LABEL, LoadText(text::selectLanguage));
}

void CDlgStart::Relayout(int dx, int dy) {
    item(IDC_START_LANGUAGES).grow(dx, 0);
    item(IDC_START_PRODUCT).grow(dx, 0);
    item(IDC_START_INFO).grow(dx, dy);
    item(IDC_STATUS).grow(dx, 0);
    item(IDC_STATUS).offset(0, dy);
}
