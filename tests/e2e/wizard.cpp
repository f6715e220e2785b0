#include "wizard.h"

#include <gtest/gtest.h>

#include <utility>

namespace e2e {

namespace {

DWORD processOf(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

} // namespace

int shownPage(HWND frame) {
    // Each page by a control that only it shows, tried in this order (the
    // End page's result has the id of the Start page's information).
    constexpr std::pair<int, wizard::Page> marks[] = {
        {IDC_START_LANGUAGE_LABEL, StartPage}, {IDC_MODE_GROUP, ModePage},
        {IDC_PATH_GROUP, FolderPage},          {IDC_MENU_GROUP, ShortcutPage},
        {IDC_PROGRESS_LOG, ProgressPage},      {IDC_END_RESULT, EndPage},
    };
    for (const auto& [control, page] : marks) {
        if (findControl(frame, control) != nullptr) {
            return page;
        }
    }
    return -1;
}

void expectPage(HWND frame, int page) {
    EXPECT_TRUE(waitUntil([&] { return shownPage(frame) == page; }, 10s))
        << "page " << page << " was expected, page " << shownPage(frame) << " is shown; "
        << whatItShows(processOf(frame));
    // The page becomes visible while the frame is still setting its buttons; a
    // message sent now is handled only once the frame has finished.
    ::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
}

HWND waitForFrame(const Installer& installer) {
    return waitForWindow(installer.id(), L"Installer \u2013 Kelvane 3.00g");
}

void advancedToFolderPage(HWND frame) {
    click(frame, IDOK);
    expectPage(frame, ModePage);
    click(frame, IDC_MODE_ADVANCED);
    click(frame, IDOK);
    expectPage(frame, FolderPage);
}

void exitConfirmed(Installer& installer, HWND frame) {
    click(frame, IDCANCEL);
    const ShownMessage question = waitForMessageBox(installer.id(), {frame});
    EXPECT_EQ(question.text, L"Installation is not complete.\r\n\r\nDo you still confirm exit "
                             L"Installation ?");
    answer(question, IDYES);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
}

void install(HWND frame) {
    ASSERT_EQ(controlText(frame, IDOK), L"Install");
    const std::size_t logBefore = controlText(frame, IDC_PROGRESS_LOG).size();
    click(frame, IDOK);
    // The installation runs inside the click's handler: it appends to the log
    // from its first step, the frame answers no message while it runs, and
    // Exit stays disabled until it has ended. A failure found at once may be
    // over before a first look, so the end is told by the log and Exit. The
    // page stays on the screen throughout.
    ASSERT_TRUE(waitUntil(
        [&] {
            return controlText(frame, IDC_PROGRESS_LOG).size() > logBefore &&
                   controlEnabled(frame, IDCANCEL);
        },
        120s))
        << "the installation did not run to its end: " << whatItShows(processOf(frame));
    ::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
}

std::vector<std::wstring> logLines(HWND frame) {
    const std::wstring text = controlText(frame, IDC_PROGRESS_LOG);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

} // namespace e2e
