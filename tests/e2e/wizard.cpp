#include "wizard.h"

#include <gtest/gtest.h>

namespace e2e {

namespace {

DWORD processOf(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

} // namespace

int shownPage(HWND frame) {
    if (findControl(frame, ids::languageLabel) != nullptr) {
        return Start;
    }
    if (findControl(frame, ids::modeGroup) != nullptr) {
        return Mode;
    }
    if (findControl(frame, ids::pathGroup) != nullptr) {
        return Folder;
    }
    if (findControl(frame, ids::menuGroup) != nullptr) {
        return Shortcut;
    }
    if (findControl(frame, ids::progressLog) != nullptr) {
        return Progress;
    }
    if (findControl(frame, ids::information) != nullptr) {
        return End;
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

void exitConfirmed(Installer& installer, HWND frame) {
    click(frame, ids::exit);
    const ShownMessage question = waitForMessageBox(installer.id(), {frame});
    EXPECT_EQ(question.text, L"Installation is not complete.\r\n\r\nDo you still confirm exit "
                             L"Installation ?");
    answer(question, IDYES);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
}

void install(HWND frame) {
    ASSERT_EQ(controlText(frame, ids::next), L"Install");
    const std::size_t logBefore = controlText(frame, ids::progressLog).size();
    click(frame, ids::next);
    // The installation runs inside the click's handler: it appends to the log
    // from its first step, the frame answers no message while it runs, and
    // Exit stays disabled until it has ended. A failure found at once may be
    // over before a first look, so the end is told by the log and Exit. The
    // page stays on the screen throughout.
    ASSERT_TRUE(waitUntil(
        [&] {
            return controlText(frame, ids::progressLog).size() > logBefore &&
                   controlEnabled(frame, ids::exit);
        },
        120s))
        << "the installation did not run to its end: " << whatItShows(processOf(frame));
    ::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
}

std::vector<std::wstring> logLines(HWND frame) {
    const std::wstring text = controlText(frame, ids::progressLog);
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
