// A walk through the wizard that saves a picture of every page; scripts/run
// shows it to whoever runs the installer without a display.
#include "driver.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

TEST(Tour, QuickInstallation) {
    Installer installer;
    HWND frame = waitForWindow(installer.id(), L"Installer \u2013 Kelvane 3.00g");
    ASSERT_NE(frame, nullptr);
    screenshot(frame, L"01-frame");

    click(frame, IDCANCEL);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
}

} // namespace
