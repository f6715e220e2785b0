// Leaving the wizard before an installation: every page asks first, and
// leaving changes nothing on the machine.
#include "installation.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

// Exit on the page asks the question; No keeps the wizard on that page.
void exitDeclined(const Installer& installer, HWND frame, int page) {
    SCOPED_TRACE("page " + std::to_string(page));
    click(frame, IDCANCEL);
    const ShownMessage question = waitForMessageBox(installer.id(), {frame});
    EXPECT_EQ(question.text, L"Installation is not complete.\r\n\r\nDo you still confirm exit "
                             L"Installation ?");
    EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
    answer(question, IDNO);
    EXPECT_TRUE(waitUntil([&] { return topLevelWindows(installer.id()).size() == 1; }));
    expectPage(frame, page);
}

TEST(Exit, EveryPageBeforeTheInstallationAsksAndLeavingChangesNothing) {
    const MachineState before = snapshotMachine();
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    expectPage(frame, wizard::StartPage);
    exitDeclined(installer, frame, wizard::StartPage);
    click(frame, IDOK);
    expectPage(frame, ModePage);
    click(frame, IDC_MODE_ADVANCED);
    exitDeclined(installer, frame, ModePage);
    for (const int page : {FolderPage, ShortcutPage, ProgressPage}) {
        click(frame, IDOK);
        expectPage(frame, page);
        exitDeclined(installer, frame, page);
    }
    exitConfirmed(installer, frame);
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
}

} // namespace
