// A quick installation through the wizard that saves a picture of every page;
// scripts/run shows it to whoever runs the installer without a display.
#include "wizard.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

TEST(Tour, QuickInstallation) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    expectPage(frame, wizard::StartPage);
    screenshot(frame, L"01-start");
    click(frame, IDOK);
    expectPage(frame, ModePage);
    screenshot(frame, L"02-mode");
    click(frame, IDOK);
    expectPage(frame, ProgressPage);
    screenshot(frame, L"03-options");
    install(frame);
    screenshot(frame, L"04-installed");
    EXPECT_EQ(controlText(frame, IDOK), L"Next  >");
    click(frame, IDOK);
    expectPage(frame, wizard::EndPage);
    screenshot(frame, L"05-end");
    click(frame, IDCANCEL);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
}

} // namespace
