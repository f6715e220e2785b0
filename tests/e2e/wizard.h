#pragma once
// The installer's wizard as the scenarios see it: which page is shown, and
// the moves between pages.

#include "driver.h"
#include "resource.h"

#include "wizard/navigation.h"

namespace e2e {

// The pages by the product's own table of their order (wizard::Page), and
// the controls by the product's resource ids (resource.h): Next is IDOK, Exit
// (Cancel) is IDCANCEL. Where namespace e2e is used rather than entered,
// StartPage and EndPage meet the GDI functions of those names: write them
// wizard::StartPage and wizard::EndPage there.
using enum wizard::Page;

// The page now shown, or -1 when none can be told.
int shownPage(HWND frame);

// Waits until that page is shown; fails the test when it is not in time.
void expectPage(HWND frame, int page);

// The frame of a freshly started installer, in English.
HWND waitForFrame(const Installer& installer);

// From the Start page in advanced mode to the Folder page.
void advancedToFolderPage(HWND frame);

// Presses Exit and confirms the question; the installer must end.
void exitConfirmed(Installer& installer, HWND frame);

// Presses Install on the progress page and waits until the installation has
// ended, successfully or not (the Exit button is enabled again).
void install(HWND frame);

// The lines of the progress log.
std::vector<std::wstring> logLines(HWND frame);

} // namespace e2e
