#pragma once
// The wizard's page-navigation rules, free of windows so they are tested on
// their own: which page a move lands on, what the buttons say and allow, and
// when leaving needs the user's confirmation.

#include "install/existing_state.h"

namespace wizard {

// The pages in the order the wizard shows them: the one table of the page
// order. The frame puts each of its page objects at its place here.
enum Page : int { StartPage = 0, ModePage, FolderPage, ShortcutPage, ProgressPage, EndPage };
constexpr int pageCount = EndPage + 1;

// The page a move from current towards target lands on. In quick mode the
// folder and shortcut pages are passed over in the direction of travel.
int landingPage(int current, int target, bool advancedMode);

enum class NextText { NextArrow, Install };
enum class ExitText { Cancel, Exit };

struct Buttons {
    NextText next;
    ExitText exit;
    bool backEnabled;
    bool nextEnabled;
};

// What the frame's buttons say and allow on a page.
Buttons buttonsFor(int currentPage, bool installSucceeded);

// Whether leaving now needs the "Installation is not complete" question.
bool exitNeedsConfirmation(ExistingState existingState, int currentPage, bool installSucceeded);

} // namespace wizard
