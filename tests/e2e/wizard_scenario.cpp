// Moving through the wizard's pages, and leaving it.
#include "wizard.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace e2e;

// A freshly started installer and the frame of its wizard.
class Wizard : public testing::Test {
protected:
    void SetUp() override {
        frame = waitForFrame(installer);
        ASSERT_NE(frame, nullptr);
    }

    Installer installer;
    HWND frame = nullptr;
};

TEST_F(Wizard, QuickModeSkipsTheFolderAndShortcutPages) {
    expectPage(frame, wizard::StartPage);
    EXPECT_FALSE(controlEnabled(frame, IDC_BACK));
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Next' to continue.");

    click(frame, IDOK);
    expectPage(frame, ModePage);
    EXPECT_TRUE(controlEnabled(frame, IDC_BACK));
    EXPECT_EQ(::SendMessageW(control(frame, IDC_MODE_QUICK), BM_GETCHECK, 0, 0), BST_CHECKED);

    click(frame, IDOK);
    expectPage(frame, ProgressPage);
    EXPECT_EQ(controlText(frame, IDOK), L"Install");
    EXPECT_EQ(controlText(frame, IDCANCEL), L"Cancel");
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Install' to start Installation.");

    click(frame, IDC_BACK);
    expectPage(frame, ModePage);
    EXPECT_EQ(controlText(frame, IDOK), L"Next  >");
    exitConfirmed(installer, frame);
}

TEST_F(Wizard, AdvancedModeShowsEveryPageAndKeepsTheChoice) {
    click(frame, IDOK);
    expectPage(frame, ModePage);
    click(frame, IDC_MODE_ADVANCED);
    click(frame, IDC_BACK);
    expectPage(frame, wizard::StartPage);
    click(frame, IDOK);
    expectPage(frame, ModePage);
    EXPECT_EQ(::SendMessageW(control(frame, IDC_MODE_ADVANCED), BM_GETCHECK, 0, 0), BST_CHECKED);

    click(frame, IDOK);
    expectPage(frame, FolderPage);
    EXPECT_EQ(controlText(frame, IDC_FOLDER), L"C:\\Program Files\\Tarnwick\\Kelvane 3");
    screenshot(frame, L"folder");
    click(frame, IDOK);
    expectPage(frame, ShortcutPage);
    EXPECT_EQ(controlText(frame, IDC_FOLDER), L"Programs\\Tarnwick\\Kelvane 3");
    screenshot(frame, L"shortcut");
    click(frame, IDOK);
    expectPage(frame, ProgressPage);
    click(frame, IDC_BACK);
    expectPage(frame, ShortcutPage);
    exitConfirmed(installer, frame);
}

// A folder the installation cannot take, too long or not a complete path,
// is refused with a message whichever way the user leaves the page.
TEST_F(Wizard, FolderThatCannotBeTakenKeepsTheUserOnThePage) {
    advancedToFolderPage(frame);

    const std::wstring notComplete = L"The installation folder must be a complete path, starting "
                                     L"with a drive letter (C:\\) or a network share (\\\\server).";
    const std::pair<std::wstring, std::wstring> refused[] = {
        {L"C:\\" + std::wstring(258, L'a'), L"Please enter no more than 260 characters."},
        {L"", notComplete},
        {L"Kelvane", notComplete},
        {L"C:Kelvane", notComplete},
        {L"\\Kelvane", notComplete},
    };
    for (const auto& [folder, message] : refused) {
        ::SendMessageW(control(frame, IDC_FOLDER), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(folder.c_str()));
        for (const int move : {IDOK, IDC_BACK}) {
            click(frame, move);
            const ShownMessage shown = waitForMessageBox(installer.id(), {frame});
            EXPECT_EQ(shown.text, message) << testing::PrintToString(folder);
            answer(shown, IDOK);
            EXPECT_TRUE(waitUntil([&] { return topLevelWindows(installer.id()).size() == 1; }));
            expectPage(frame, FolderPage);
        }
    }
    exitConfirmed(installer, frame);
}

TEST_F(Wizard, NoAtTheExitQuestionReturnsToTheWizard) {
    click(frame, IDCANCEL);
    const ShownMessage question = waitForMessageBox(installer.id(), {frame});
    EXPECT_EQ(question.caption, L"Installer \u2013 Kelvane 3.00g");
    answer(question, IDNO);
    EXPECT_TRUE(waitUntil([&] { return topLevelWindows(installer.id()).size() == 1; }));
    EXPECT_TRUE(installer.running());
    expectPage(frame, wizard::StartPage);
    exitConfirmed(installer, frame);
}

} // namespace
