#include "wizard/navigation.h"

#include "install/existing_state.h"

namespace wizard {

int landingPage(int current, int target, bool advancedMode) {
    if (advancedMode || target == current) {
        return target;
    }
    const int step = target > current ? 1 : -1;
    while (target == FolderPage || target == ShortcutPage) {
        target += step;
    }
    return target;
}

Buttons buttonsFor(int currentPage, bool installSucceeded) {
    Buttons buttons{};
    buttons.next =
        currentPage == ProgressPage && !installSucceeded ? NextText::Install : NextText::NextArrow;
    buttons.exit = installSucceeded ? ExitText::Exit : ExitText::Cancel;
    buttons.backEnabled =
        (currentPage > StartPage && !installSucceeded) || currentPage > ProgressPage;
    buttons.nextEnabled = currentPage < EndPage;
    return buttons;
}

bool exitNeedsConfirmation(ExistingState existingState, int currentPage, bool installSucceeded) {
    if (installSucceeded || existingState == NewerInstalled) {
        return false;
    }
    return !(existingState == SameInstalled && currentPage == StartPage);
}

} // namespace wizard
