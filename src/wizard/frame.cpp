#include "wizard/frame.h"

#include "app/install_app.h"
#include "app/language_change.h"
#include "install/format_text.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "support/error.h"
#include "support/language_state.h"
#include "support/messages.h"
#include "support/providers.h"
#include "wizard/about_box.h"
#include "wizard/frame_layout.h"
#include "wizard/navigation.h"
#include "wizard/side_picture.h"

namespace {

constexpr UINT aboutCommand = 16;
constexpr UINT lastAboutCommand = 31;
constexpr std::uint32_t exitQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

wizard::Rect toRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The display's DPI: the system's, which a DPI-aware program is drawn at.
int displayDpi() {
    const tw::window_dc screen(nullptr);
    return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// The frame's one bitmap control, which shows the side picture.
HWND sidePictureControl(HWND frame) {
    for (HWND child = ::GetWindow(frame, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        ::GetClassNameW(child, className, 16);
        if (::lstrcmpiW(className, L"Static") == 0 &&
            (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            return child;
        }
    }
    return nullptr;
}

} // namespace

CInstallDlg::CInstallDlg()
    : ui::Dialog(IDD_INSTALL) {
    // Each page object at its place in the page order.
    pages[wizard::StartPage] = &startPage;
    pages[wizard::ModePage] = &modePage;
    pages[wizard::FolderPage] = &folderPage;
    pages[wizard::ShortcutPage] = &shortcutPage;
    pages[wizard::ProgressPage] = &progressPage;
    pages[wizard::EndPage] = &endPage;
    OnCommand(IDC_BACK, BN_CLICKED, [this] { ShowPage(currentPage - 1); });
}

CInstallDlg::~CInstallDlg() {
    setRefreshTextsHook(nullptr);
}

BOOL CInstallDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    theApp().setMainWindow(hwnd());
    setRefreshTextsHook([this] { RefreshTexts(); });
    ::SetWindowTextW(hwnd(), theApp().AppTitle(true).c_str());
    setAboutEntry(false);
    showSidePicture();
    if (const auto& iconProvider = tw::providers().applicationIcon) {
        if (HICON icon = iconProvider(); icon != nullptr) {
            ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        }
    }
    if (!createPages()) {
        // Without its pages the wizard cannot be used: it ends as if left.
        tw::showError(static_cast<std::int32_t>(
            tw::hresultFromWin32(static_cast<std::int32_t>(::GetLastError()))));
        EndDialog(2);
        return TRUE;
    }
    layOutPages();
    RefreshTexts();
    ShowPage(wizard::StartPage);
    if (theApp().existingState == NewerInstalled) {
        item(IDOK).enable(false);
    }
    // ShowPage has given the focus to the default button.
    return FALSE;
}

void CInstallDlg::setAboutEntry(bool replace) {
    std::wstring text = formatText(LoadText(text::about), {theApp().AppTitle(false)});
    text = tw::currentLanguage().rightToLeft ? L"..." + text : L"&" + text + L"...";
    HMENU menu = ::GetSystemMenu(hwnd(), FALSE);
    if (menu == nullptr) {
        return;
    }
    if (replace) {
        ::ModifyMenuW(menu, aboutCommand, MF_BYCOMMAND | MF_STRING, aboutCommand, text.c_str());
        return;
    }
    if (!text.empty()) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, aboutCommand, text.c_str());
    }
    ::DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    ::DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
}

// The template shows the picture drawn for 100 %; at a larger scaling its
// control gets the one drawn for that scaling, at its real size.
void CInstallDlg::showSidePicture() {
    const int picture = wizard::sidePictureFor(displayDpi());
    HWND control = sidePictureControl(hwnd());
    if (picture == IDB_SIDE_PICTURE || control == nullptr) {
        return;
    }
    sidePicture.reset(::LoadImageW(theApp().instance(), MAKEINTRESOURCEW(picture), IMAGE_BITMAP, 0,
                                   0, LR_DEFAULTCOLOR));
    if (sidePicture) {
        // Once replaced, the template's picture is no longer the control's to delete.
        const tw::unique_gdiobj templatePicture(reinterpret_cast<HGDIOBJ>(::SendMessageW(
            control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(sidePicture.get()))));
    }
}

bool CInstallDlg::createPages() {
    for (WizardPage* page : pages) {
        if (!page->dialog().Create(hwnd())) {
            return false;
        }
    }
    return true;
}

void CInstallDlg::layOutPages() {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    RECT area = client;
    area.left = item(IDC_PICTURE_BACKGROUND).rectInParent().right;
    area.bottom = item(IDC_SEPARATOR).rectInParent().top;

    std::vector<wizard::Rect> sizes;
    for (WizardPage* page : pages) {
        const ui::Control window(page->dialog().hwnd());
        RECT rect = window.rectInParent();
        ::OffsetRect(&rect, area.left - rect.left, area.top - rect.top);
        window.setRect(rect);
        sizes.push_back(toRect(rect));
    }
    const wizard::FrameLayout layout = wizard::layoutPages(toRect(area), sizes);

    RECT frame{};
    ::GetWindowRect(hwnd(), &frame);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left + layout.dx,
                   frame.bottom - frame.top + layout.dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT pageRect{layout.pageRect.left, layout.pageRect.top, layout.pageRect.right,
                        layout.pageRect.bottom};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        ui::Control(pages[i]->dialog().hwnd()).setRect(pageRect);
        pages[i]->Relayout(layout.pageDx[i], layout.pageDy[i]);
    }
    item(IDC_PICTURE_BACKGROUND).grow(0, layout.dy);
    item(IDC_SEPARATOR).grow(layout.dx, 0);
    item(IDC_SEPARATOR).offset(0, layout.dy);
    for (const int button : {IDC_BACK, IDOK, IDCANCEL}) {
        item(button).offset(layout.dx, layout.dy);
    }
}

void CInstallDlg::RefreshTexts() {
    ::SetWindowTextW(hwnd(), theApp().AppTitle(true).c_str());
    setAboutEntry(true);
    UpdateButtons();
    for (WizardPage* page : pages) {
        page->SetTexts();
    }
}

void CInstallDlg::UpdateButtons() {
    const wizard::Buttons buttons = wizard::buttonsFor(currentPage, theApp().installSucceeded);
    setItemText(IDOK, buttons.next == wizard::NextText::Install ? LoadText(text::install)
                                                                : LoadText(text::next) + L"  >");
    setItemText(IDC_BACK, L"<  " + LoadText(text::back));
    setItemText(IDCANCEL, buttons.exit == wizard::ExitText::Exit ? LoadText(text::exit)
                                                                 : LoadText(text::cancel));
}

void CInstallDlg::ShowPage(int target) {
    if (currentPage != -1 &&
        !pages[static_cast<std::size_t>(currentPage)]->dialog().UpdateData(true)) {
        return;
    }
    target = wizard::landingPage(currentPage, target, theApp().advancedMode);
    // Showing the current page again only refreshes the buttons: the page
    // stays on the screen, never hidden for a moment.
    if (target != currentPage) {
        if (currentPage != -1) {
            ui::Control(pages[static_cast<std::size_t>(currentPage)]->dialog().hwnd()).show(false);
        }
        ui::Dialog& entering = pages[static_cast<std::size_t>(target)]->dialog();
        entering.UpdateData(false);
        ui::Control(entering.hwnd()).show(true);
        currentPage = target;
    }
    UpdateButtons();

    const wizard::Buttons buttons = wizard::buttonsFor(currentPage, theApp().installSucceeded);
    item(IDC_BACK).enable(buttons.backEnabled);
    item(IDOK).enable(buttons.nextEnabled);
    const int defaultButton = buttons.nextEnabled ? IDOK : IDCANCEL;
    ::SendMessageW(hwnd(), DM_SETDEFID, static_cast<WPARAM>(defaultButton), 0);
    ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(defaultButton).hwnd()),
                   TRUE);
}

void CInstallDlg::OnOK() {
    if (currentPage == wizard::ProgressPage && !theApp().installSucceeded) {
        install();
    } else {
        ShowPage(currentPage + 1);
    }
}

void CInstallDlg::install() {
    for (const int button : {IDC_BACK, IDOK, IDCANCEL}) {
        item(button).enable(false);
    }
    // Whatever happens inside, the user gets the buttons back.
    const auto restoreButtons = [this] {
        ShowPage(currentPage);
        item(IDCANCEL).enable(true);
    };
    try {
        theApp().installSucceeded = progressPage.DoInstall();
    } catch (...) {
        restoreButtons();
        throw;
    }
    restoreButtons();
}

void CInstallDlg::OnCancel() {
    const CInstallApp& app = theApp();
    if (wizard::exitNeedsConfirmation(app.existingState, currentPage, app.installSucceeded) &&
        tw::showMessage(LoadText(text::confirmExit), exitQuestionStyle) != IDYES) {
        return;
    }
    EndDialog(app.installSucceeded ? 1 : 2);
}

std::optional<INT_PTR> CInstallDlg::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND:
        if (wParam >= aboutCommand && wParam <= lastAboutCommand) {
            CAboutDlg about;
            about.DoModal(hwnd());
            return TRUE;
        }
        return std::nullopt;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam) != 0) { // the system menu
            const bool minimized = ::IsIconic(hwnd()) != FALSE;
            HMENU menu = reinterpret_cast<HMENU>(wParam);
            ::EnableMenuItem(menu, SC_MINIMIZE,
                             MF_BYCOMMAND | (minimized ? MF_GRAYED : MF_ENABLED));
            ::EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | (minimized ? MF_ENABLED : MF_GRAYED));
        }
        return std::nullopt;
    case WM_GETMINMAXINFO: {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        ::GetWindowPlacement(hwnd(), &placement);
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        const RECT& normal = placement.rcNormalPosition;
        limits->ptMaxPosition = {normal.left, normal.top};
        limits->ptMaxSize = {normal.right - normal.left, normal.bottom - normal.top};
        return TRUE;
    }
    default:
        return std::nullopt;
    }
}
