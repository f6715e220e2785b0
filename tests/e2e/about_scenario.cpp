// The About box of the wizard's system menu.
#include "wizard.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

struct StaticTexts {
    std::vector<std::wstring> texts;
};

BOOL CALLBACK collectStatics(HWND window, LPARAM found) {
    if (className(window) == L"Static" && ::GetDlgCtrlID(window) == -1) {
        reinterpret_cast<StaticTexts*>(found)->texts.push_back(windowText(window));
    }
    return TRUE;
}

TEST(About, SystemMenuEntryOpensTheAboutBox) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);

    // The About entry of the system menu sends command 16 (another process
    // cannot read the menu itself).
    ::PostMessageW(frame, WM_SYSCOMMAND, 16, 0);
    HWND about = waitForWindow(installer.id(), L"About 'Installer'");
    ASSERT_NE(about, nullptr);
    screenshot(about, L"about");
    EXPECT_EQ(controlText(about, 1019), L"Install 2.04a");
    EXPECT_EQ(controlText(about, 1020), L"Copyright (C) 2004-2026 Tarnwick");
    EXPECT_EQ(controlText(about, IDOK), L"OK");
    StaticTexts contact;
    ::EnumChildWindows(about, collectStatics, reinterpret_cast<LPARAM>(&contact));
    EXPECT_NE(std::find(contact.texts.begin(), contact.texts.end(), L"Tel. +44 20 7946 0321"),
              contact.texts.end());
    EXPECT_NE(std::find(contact.texts.begin(), contact.texts.end(),
                        L"https://www.tarnwick.example/kelvane/"),
              contact.texts.end());

    click(about, IDOK);
    EXPECT_TRUE(waitUntil([&] { return !::IsWindow(about); }));
    exitConfirmed(installer, frame);
}

} // namespace
