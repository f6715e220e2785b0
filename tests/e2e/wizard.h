#pragma once
// The installer's wizard as the scenarios see it: which page is shown, and
// the moves between pages.

#include "driver.h"

namespace e2e {

enum WizardPage { Start = 0, Mode, Folder, Shortcut, Progress, End };

// Control ids of the frame and its pages.
namespace ids {
constexpr int next = IDOK;
constexpr int exit = IDCANCEL;
constexpr int back = 3;
constexpr int status = 1003;
constexpr int browse = 1006;
constexpr int folder = 1007;
constexpr int pathGroup = 1008;
constexpr int desktopShortcut = 1010;
constexpr int menuShortcut = 1011;
constexpr int menuGroup = 1012;
constexpr int progressBar = 1014;
constexpr int progressLog = 1015;
constexpr int information = 1016;
constexpr int quickMode = 1018;
constexpr int advancedMode = 1019;
constexpr int modeGroup = 1021;
constexpr int languageLabel = 1022;
} // namespace ids

// The page now shown, or -1 when none can be told.
int shownPage(HWND frame);

// Waits until that page is shown; fails the test when it is not in time.
void expectPage(HWND frame, int page);

// The frame of a freshly started installer, in English.
HWND waitForFrame(const Installer& installer);

// Presses Exit and confirms the question; the installer must end.
void exitConfirmed(Installer& installer, HWND frame);

// Presses Install on the progress page and waits until the installation has
// ended, successfully or not (the Exit button is enabled again).
void install(HWND frame);

// The lines of the progress log.
std::vector<std::wstring> logLines(HWND frame);

} // namespace e2e
