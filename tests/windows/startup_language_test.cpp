#include "app/startup_language.h"

#include "app/install_app.h"
#include "install/texts.h"
#include "support/language_state.h"
#include "support/product_code.h"
#include "support/unique_resource.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr wchar_t uninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvane 3";

// Each test starts without the product's uninstall key and leaves none.
class StartupLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        tw::setProductCode(0x103);
        wipe();
        tw::SetLanguage(tw::language::french);
    }
    void TearDown() override { wipe(); }

    static void wipe() {
        const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, uninstallKey);
        ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
    }

    static void store(DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, uninstallKey, 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const tw::unique_hkey owned(key);
        ASSERT_EQ(
            ::RegSetValueExW(key, L"TwLanguage", 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
    }

    static void storeNumber(DWORD value) { store(REG_DWORD, &value, sizeof value); }

    static std::int32_t chosen() {
        chooseStartupLanguage();
        return tw::currentLanguage().languageIndex;
    }

    static bool englishUser() { return ::GetUserDefaultLangID() == 0x0409; }
};

TEST_F(StartupLanguage, WithoutPreferenceTheUsersLanguage) {
    if (!englishUser()) {
        GTEST_SKIP() << "the session's user language is not English (0x0409)";
    }
    EXPECT_FALSE(storedLanguagePreference());
    EXPECT_EQ(chosen(), tw::language::english);
    EXPECT_EQ(LoadText(1000), L"Installer");
}

TEST_F(StartupLanguage, GermanPreference) {
    storeNumber(2);
    EXPECT_EQ(storedLanguagePreference(), 2u);
    EXPECT_EQ(chosen(), tw::language::german);
    EXPECT_EQ(tw::currentLanguage().lcid & 0xFFFF, 0x0407u);
    CInstallApp app;
    EXPECT_EQ(app.AppTitle(true), L"Installationsprogramm \u2013 Kelvane 3.00g");
    EXPECT_EQ(app.AppTitle(false), L"Installationsprogramm");
}

TEST_F(StartupLanguage, FrenchPreference) {
    storeNumber(0);
    EXPECT_EQ(chosen(), tw::language::french);
    CInstallApp app;
    EXPECT_EQ(app.AppTitle(true), L"Installeur \u2013 Kelvane 3.00g");
}

TEST_F(StartupLanguage, PolishPreferenceRunsInEnglish) {
    storeNumber(15);
    EXPECT_EQ(chosen(), tw::language::english);
    CInstallApp app;
    EXPECT_EQ(app.AppTitle(true), L"Installer \u2013 Kelvane 3.00g");
}

TEST_F(StartupLanguage, PreferencesThatAreNoProductLanguageAreIgnored) {
    const std::int32_t withoutPreference = chosen();
    // Czech has installer texts but is no product language; the others are
    // no language at all.
    for (const DWORD value : {12ul, 5ul, 21ul, 34ul, 0xFFFFFFFFul}) {
        storeNumber(value);
        tw::SetLanguage(tw::language::french);
        EXPECT_EQ(storedLanguagePreference(), value);
        EXPECT_EQ(chosen(), withoutPreference) << "TwLanguage " << value;
    }
}

TEST_F(StartupLanguage, PreferencesOfAnotherTypeAreIgnored) {
    const std::int32_t withoutPreference = chosen();
    const wchar_t text[] = L"2";
    store(REG_SZ, text, sizeof text);
    EXPECT_FALSE(storedLanguagePreference());
    const BYTE binary[4] = {2, 0, 0, 0};
    store(REG_BINARY, binary, sizeof binary);
    EXPECT_FALSE(storedLanguagePreference());
    const unsigned long long wide = 2;
    store(REG_QWORD, &wide, sizeof wide);
    EXPECT_FALSE(storedLanguagePreference());
    tw::SetLanguage(tw::language::french);
    EXPECT_EQ(chosen(), withoutPreference);
}

TEST_F(StartupLanguage, PreferenceUnderTheKeyOfTheProductCode) {
    storeNumber(2);
    tw::setProductCode(0x102); // "Kelvane 2": another uninstall key
    EXPECT_FALSE(storedLanguagePreference());
    tw::setProductCode(0x103);
    EXPECT_EQ(storedLanguagePreference(), 2u);
}

} // namespace
