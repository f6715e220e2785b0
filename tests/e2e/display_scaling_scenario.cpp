// The wizard at the display's scaling: the side picture fills its place as
// the 100 % picture does at 100 %, and the flags of the language list are as
// large as the display's small icons. Each DPI runs in a prefix whose display
// was set to it before any program started (KV_E2E_DPI), so this program lays
// out dialogs as the installer does.
#include "resource.h"
#include "wizard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace e2e;

constexpr int languageList = 1023;
// The side picture's place in the frame's template, in dialog units.
constexpr RECT placeUnits{3, 3, 61, 108};
// The side picture at 100 %: every scaling keeps its proportions.
constexpr SIZE picture100{87, 170};

int displayDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

INT_PTR CALLBACK noDialogProcedure(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The place in pixels, in the frame's client area: this program carries the
// frame's template too and lays it out in the same font.
RECT placeInPixels() {
    HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INSTALL),
                                       nullptr, noDialogProcedure, 0);
    RECT place = placeUnits;
    ::MapDialogRect(dialog, &place);
    ::DestroyWindow(dialog);
    return place;
}

// The frame's bitmap control, in the frame's client area. Wine sizes a bitmap
// control to its bitmap, so this is the size of the picture shown.
RECT sidePicture(HWND frame) {
    RECT rect{};
    for (HWND child = ::GetWindow(frame, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (className(child) == L"Static" &&
            (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
        }
    }
    return rect;
}

// The width of the flag beside the chosen language, English: the columns of
// the list's face that show its blue; 0 while it shows none.
int shownFlagWidth(HWND list) {
    const ScreenPicture face(::FindWindowExW(list, nullptr, L"ComboBox", nullptr));
    int left = face.width();
    int right = -1;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const COLORREF colour = face.pixel(x, y);
            if (GetBValue(colour) > 90 && GetRValue(colour) < 40 && GetGValue(colour) < 70) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return std::max(right - left + 1, 0);
}

class DisplayScaling : public testing::TestWithParam<int> {};

TEST_P(DisplayScaling, SidePictureFillsItsPlaceAndFlagsAreSmallIcons) {
    // Window positions in the display's pixels, as the installer draws them.
    ::SetProcessDPIAware();
    ASSERT_EQ(displayDpi(), GetParam()) << "KV_E2E_DPI sets the display of the scenario's prefix";
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);

    const RECT place = placeInPixels();
    const RECT picture = sidePicture(frame);
    const int width = picture.right - picture.left;
    const int height = picture.bottom - picture.top;
    EXPECT_EQ(picture.left, place.left);
    EXPECT_EQ(picture.top, place.top);
    // As at 100 %: one pixel less than the place is tall, and in its proportions
    // (to the pixel) as wide, which leaves it inside the place.
    EXPECT_EQ(height, place.bottom - place.top - 1);
    EXPECT_LE(std::abs(width * picture100.cy - height * picture100.cx), picture100.cy / 2)
        << width << " x " << height << " pixels";
    EXPECT_LE(picture.right, place.right);

    HWND list = control(frame, languageList);
    int flagWidth = 0;
    EXPECT_TRUE(waitUntil([&] { return (flagWidth = shownFlagWidth(list)) > 0; }))
        << "the list shows no flag";
    EXPECT_EQ(flagWidth, ::GetSystemMetrics(SM_CXSMICON));
    std::printf("at %d dpi: side picture %d x %d in its place of %ld x %ld; flag %d pixels wide, "
                "small icons %d\n",
                GetParam(), width, height, place.right - place.left, place.bottom - place.top,
                flagWidth, ::GetSystemMetrics(SM_CXSMICON));
    screenshot(frame, L"start");

    advancedToFolderPage(frame);
    screenshot(frame, L"folder");
    exitConfirmed(installer, frame);
}

INSTANTIATE_TEST_SUITE_P(Display, DisplayScaling, testing::Values(96, 144, 192),
                         [](const testing::TestParamInfo<int>& dpi) {
                             return "Dpi" + std::to_string(dpi.param);
                         });

} // namespace
