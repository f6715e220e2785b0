#include "wizard/navigation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace wizard;

std::vector<int> pagesVisitedByNext(bool advanced) {
    std::vector<int> visited{StartPage};
    int page = StartPage;
    while (page < EndPage) {
        page = landingPage(page, page + 1, advanced);
        visited.push_back(page);
    }
    return visited;
}

TEST(Navigation, QuickModeVisitsStartModeProgressEnd) {
    EXPECT_EQ(pagesVisitedByNext(false), (std::vector<int>{0, 1, 4, 5}));
    EXPECT_EQ(landingPage(ProgressPage, ModePage + 2, false), ModePage);
    EXPECT_EQ(landingPage(ProgressPage, ShortcutPage, false), ModePage);
}

TEST(Navigation, AdvancedModeVisitsEveryPage) {
    EXPECT_EQ(pagesVisitedByNext(true), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(landingPage(ProgressPage, ShortcutPage, true), ShortcutPage);
}

TEST(Navigation, ShowingTheSamePageAgainStaysThere) {
    EXPECT_EQ(landingPage(ProgressPage, ProgressPage, false), ProgressPage);
    EXPECT_EQ(landingPage(-1, StartPage, false), StartPage);
}

struct ButtonCase {
    int page;
    bool succeeded;
    bool back;
    NextText nextText;
    bool next;
    ExitText exitText;
};

class FrameButtons : public testing::TestWithParam<ButtonCase> {};

TEST_P(FrameButtons, FollowThePageAndTheOutcome) {
    const ButtonCase& expected = GetParam();
    const Buttons buttons = buttonsFor(expected.page, expected.succeeded);
    EXPECT_EQ(buttons.backEnabled, expected.back);
    EXPECT_EQ(buttons.next, expected.nextText);
    EXPECT_EQ(buttons.nextEnabled, expected.next);
    EXPECT_EQ(buttons.exit, expected.exitText);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, FrameButtons,
    testing::Values(
        ButtonCase{StartPage, false, false, NextText::NextArrow, true, ExitText::Cancel},
        ButtonCase{ModePage, false, true, NextText::NextArrow, true, ExitText::Cancel},
        ButtonCase{FolderPage, false, true, NextText::NextArrow, true, ExitText::Cancel},
        ButtonCase{ShortcutPage, false, true, NextText::NextArrow, true, ExitText::Cancel},
        ButtonCase{ProgressPage, false, true, NextText::Install, true, ExitText::Cancel},
        ButtonCase{ProgressPage, true, false, NextText::NextArrow, true, ExitText::Exit},
        ButtonCase{EndPage, true, true, NextText::NextArrow, false, ExitText::Exit}));

TEST(ExitConfirmation, AskedUnlessNothingIsLost) {
    constexpr ExistingState newer = NewerInstalled, none = NotInstalled, same = SameInstalled,
                            older = OlderInstalled;
    for (int page = StartPage; page <= EndPage; ++page) {
        EXPECT_TRUE(exitNeedsConfirmation(none, page, false)) << page;
        EXPECT_TRUE(exitNeedsConfirmation(older, page, false)) << page;
        EXPECT_FALSE(exitNeedsConfirmation(newer, page, false)) << page;
        EXPECT_FALSE(exitNeedsConfirmation(none, page, true)) << page;
        EXPECT_EQ(exitNeedsConfirmation(same, page, false), page != StartPage) << page;
    }
}

} // namespace
