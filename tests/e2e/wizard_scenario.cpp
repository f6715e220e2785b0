// Moving through the wizard's pages, and leaving it.
#include "wizard.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace e2e;

TEST(Wizard, QuickModeSkipsTheFolderAndShortcutPages) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    expectPage(frame, Start);
    EXPECT_FALSE(controlEnabled(frame, ids::back));
    EXPECT_EQ(controlText(frame, ids::status), L"Click on 'Next' to continue.");

    click(frame, ids::next);
    expectPage(frame, Mode);
    EXPECT_TRUE(controlEnabled(frame, ids::back));
    EXPECT_EQ(::SendMessageW(control(frame, ids::quickMode), BM_GETCHECK, 0, 0), BST_CHECKED);

    click(frame, ids::next);
    expectPage(frame, Progress);
    EXPECT_EQ(controlText(frame, ids::next), L"Install");
    EXPECT_EQ(controlText(frame, ids::exit), L"Cancel");
    EXPECT_EQ(controlText(frame, ids::status), L"Click on 'Install' to start Installation.");

    click(frame, ids::back);
    expectPage(frame, Mode);
    EXPECT_EQ(controlText(frame, ids::next), L"Next  >");
    exitConfirmed(installer, frame);
}

TEST(Wizard, AdvancedModeShowsEveryPageAndKeepsTheChoice) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    click(frame, ids::next);
    expectPage(frame, Mode);
    click(frame, ids::advancedMode);
    click(frame, ids::back);
    expectPage(frame, Start);
    click(frame, ids::next);
    expectPage(frame, Mode);
    EXPECT_EQ(::SendMessageW(control(frame, ids::advancedMode), BM_GETCHECK, 0, 0), BST_CHECKED);

    click(frame, ids::next);
    expectPage(frame, Folder);
    EXPECT_EQ(controlText(frame, ids::folder), L"C:\\Program Files\\Tarnwick\\Kelvane 3");
    screenshot(frame, L"folder");
    click(frame, ids::next);
    expectPage(frame, Shortcut);
    EXPECT_EQ(controlText(frame, ids::folder), L"Programs\\Tarnwick\\Kelvane 3");
    screenshot(frame, L"shortcut");
    click(frame, ids::next);
    expectPage(frame, Progress);
    click(frame, ids::back);
    expectPage(frame, Shortcut);
    exitConfirmed(installer, frame);
}

// A folder the installation cannot take, too long or not a complete path,
// is refused with a message whichever way the user leaves the page.
TEST(Wizard, FolderThatCannotBeTakenKeepsTheUserOnThePage) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    click(frame, ids::next);
    expectPage(frame, Mode);
    click(frame, ids::advancedMode);
    click(frame, ids::next);
    expectPage(frame, Folder);

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
        ::SendMessageW(control(frame, ids::folder), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(folder.c_str()));
        for (const int move : {ids::next, ids::back}) {
            click(frame, move);
            const ShownMessage shown = waitForMessageBox(installer.id(), {frame});
            EXPECT_EQ(shown.text, message) << testing::PrintToString(folder);
            answer(shown, IDOK);
            EXPECT_TRUE(waitUntil([&] { return topLevelWindows(installer.id()).size() == 1; }));
            expectPage(frame, Folder);
        }
    }
    exitConfirmed(installer, frame);
}

TEST(Wizard, NoAtTheExitQuestionReturnsToTheWizard) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    click(frame, ids::exit);
    const ShownMessage question = waitForMessageBox(installer.id(), {frame});
    EXPECT_EQ(question.caption, L"Installer \u2013 Kelvane 3.00g");
    answer(question, IDNO);
    EXPECT_TRUE(waitUntil([&] { return topLevelWindows(installer.id()).size() == 1; }));
    EXPECT_TRUE(installer.running());
    expectPage(frame, Start);
    exitConfirmed(installer, frame);
}

} // namespace
