#include "app/language_change.h"

#include "app/install_app.h"
#include "install/texts.h"
#include "support/language_state.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Closes every message box that this process shows while it watches, and
// records the texts.
class MessageBoxWatcher : public testing_support::DialogWatcher {
public:
    MessageBoxWatcher()
        : DialogWatcher([](HWND) { return true; },
                        [this](HWND box) {
                            texts_.push_back(
                                testing_support::windowText(::GetDlgItem(box, 0xFFFF)));
                            testing_support::pressButton(box, IDOK);
                        },
                        Dialogs::Every) {}

    // The texts of the boxes seen so far; call after the code under test
    // returned (the boxes are modal, so it cannot return before they close).
    std::vector<std::wstring> texts() {
        stop();
        return texts_;
    }

private:
    std::vector<std::wstring> texts_;
};

class LanguageChange : public ::testing::Test {
protected:
    void SetUp() override {
        tw::SetLanguage(tw::language::english);
        app_.setAppName(app_.AppTitle(true));
        setRefreshTextsHook([this] {
            ++refreshed_;
            refreshedIn_ = tw::currentLanguage().languageIndex;
            titleWhenRefreshed_ = app_.appName();
        });
    }
    void TearDown() override {
        setRefreshTextsHook(nullptr);
        tw::SetLanguage(tw::language::english);
    }

    CInstallApp app_;
    int refreshed_ = 0;
    std::int32_t refreshedIn_ = -1;
    std::wstring titleWhenRefreshed_;
};

TEST_F(LanguageChange, GermanChangesEverythingWithoutMessage) {
    MessageBoxWatcher watcher;
    ChangeLanguage(tw::language::german);
    EXPECT_TRUE(watcher.texts().empty());
    EXPECT_EQ(tw::currentLanguage().languageIndex, 2);
    EXPECT_EQ(app_.appName(), L"Installationsprogramm \u2013 Kelvane 3.00g");
    EXPECT_EQ(refreshed_, 1);
    EXPECT_EQ(refreshedIn_, 2);
    EXPECT_EQ(titleWhenRefreshed_, app_.appName());
    EXPECT_EQ(LoadText(1006), L"Weiter");
}

TEST_F(LanguageChange, LanguageWithoutInstallerTextsTellsAndStaysInEnglish) {
    ChangeLanguage(tw::language::german);
    MessageBoxWatcher watcher;
    ChangeLanguage(tw::language::polish);
    const std::vector<std::wstring> texts = watcher.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], L"'Kelvane' will be installed in the selected Langage, but the Installer, "
                        L"still under translation,  shall run in English.");
    EXPECT_EQ(tw::currentLanguage().languageIndex, tw::language::english);
    EXPECT_EQ(app_.appName(), L"Installer \u2013 Kelvane 3.00g");
    EXPECT_EQ(refreshed_, 2);
    EXPECT_EQ(refreshedIn_, tw::language::english);
}

TEST_F(LanguageChange, FrenchAndBack) {
    ChangeLanguage(tw::language::french);
    EXPECT_EQ(app_.appName(), L"Installeur \u2013 Kelvane 3.00g");
    ChangeLanguage(tw::language::english);
    EXPECT_EQ(app_.appName(), L"Installer \u2013 Kelvane 3.00g");
    EXPECT_EQ(refreshed_, 2);
}

TEST_F(LanguageChange, WithoutHookNothingIsRefreshed) {
    setRefreshTextsHook(nullptr);
    ChangeLanguage(11);
    EXPECT_EQ(refreshed_, 0);
    EXPECT_EQ(app_.appName(), L"Programma di installazione \u2013 Kelvane 3.00g");
}

} // namespace
