// The installer starts on a clean machine and shows its wizard frame.
#include "driver.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

const std::wstring englishTitle = L"Installer \u2013 Kelvane 3.00g";

TEST(Startup, FrameAppearsWithItsTitleAndButtons) {
    Installer installer;
    HWND frame = waitForWindow(installer.id(), englishTitle);
    ASSERT_NE(frame, nullptr);
    screenshot(frame, L"frame");

    EXPECT_EQ(controlText(frame, IDOK), L"Next  >");
    EXPECT_EQ(controlText(frame, 3), L"<  Back");
    EXPECT_FALSE(controlEnabled(frame, 3));
    EXPECT_EQ(controlText(frame, IDCANCEL), L"Cancel");
    EXPECT_TRUE(::GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_FALSE(::GetWindowLongW(frame, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
}

} // namespace
