// The session that the start-up prepares on a clean machine.
#include "app/install_app.h"
#include "app/process_start.h"
#include "support/library_init.h"
#include "support/providers.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

std::wstring shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    EXPECT_EQ(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    return path;
}

// A clean machine: no uninstall key, so no stored language preference, and
// no registered main program.
class Session : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(checkProcessor());
        ASSERT_TRUE(tw::details::initialize_mfc_lib());
    }
    void SetUp() override {
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE,
                       L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvane 3");
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick", L"Kelvane 3 Path");
    }
};

TEST_F(Session, FirstRunOnACleanMachine) {
    CInstallApp app;
    ASSERT_TRUE(app.prepareSession());

    EXPECT_EQ(app.GetExistingState(), NotInstalled);
    EXPECT_EQ(app.installFolder, L"C:\\Program Files\\Tarnwick\\Kelvane 3");
    EXPECT_EQ(app.installFolder, shellFolder(CSIDL_PROGRAM_FILES) + L"\\Tarnwick\\Kelvane 3");
    EXPECT_EQ(app.shortcutFolder,
              L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnwick\\Kelvane 3");
    EXPECT_EQ(app.shortcutFolder, shellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tarnwick\\Kelvane 3");
    EXPECT_TRUE(app.menuShortcut);
    EXPECT_TRUE(app.desktopShortcut);
    EXPECT_FALSE(app.advancedMode);
    EXPECT_FALSE(app.installSucceeded);
    EXPECT_EQ(app.existingVersion, 0u);
    EXPECT_TRUE(app.instanceLock.owned());
}

TEST_F(Session, FoldersFromAnEarlierInstallationAreKept) {
    CInstallApp app;
    app.installFolder = L"D:\\Apps\\Kelvane 3";
    app.shortcutFolder = L"D:\\Menu\\Kelvane 3";
    ASSERT_TRUE(app.prepareSession());
    EXPECT_EQ(app.installFolder, L"D:\\Apps\\Kelvane 3");
    EXPECT_EQ(app.shortcutFolder, L"D:\\Menu\\Kelvane 3");
}

TEST_F(Session, ApplicationTitleIsTheFrameworkName) {
    CInstallApp app;
    ASSERT_TRUE(app.prepareSession());
    EXPECT_EQ(app.AppTitle(false), L"Installer");
    EXPECT_EQ(app.AppTitle(true), L"Installer \u2013 Kelvane 3.00g");
    EXPECT_EQ(app.appName(), app.AppTitle(true));
    EXPECT_EQ(tw::applicationName(), app.AppTitle(true)) << "the caption of message boxes";
    EXPECT_EQ(app.ProductName(true), L"Kelvane");
    EXPECT_EQ(app.ProductName(false), L"Kelvane 3.00g");
}

TEST_F(Session, VersionTextOnlyForNewerAndOlderInstallations) {
    CInstallApp app;
    app.existingVersionText = L"Kelvane 3.00a";
    std::wstring text = L"untouched";
    for (const ExistingState state : {NotInstalled, SameInstalled}) {
        app.existingState = state;
        EXPECT_EQ(app.GetExistingState(&text), state);
        EXPECT_EQ(text, L"untouched");
    }
    for (const ExistingState state : {NewerInstalled, OlderInstalled}) {
        app.existingState = state;
        text.clear();
        EXPECT_EQ(app.GetExistingState(&text), state);
        EXPECT_EQ(text, L"Kelvane 3.00a");
    }
}

} // namespace
