// The language the installer starts in: the user's language among the
// product's, replaced by the preference that an earlier installation stored
// when it names a product language, and English when the installer has no
// texts in that language.
#include "machine.h"
#include "wizard.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

// Starts the installer and expects its frame under that title; then leaves.
void expectStartIn(const std::wstring& title, const std::wstring& next,
                   const std::wstring& cancel) {
    Installer installer;
    HWND frame = waitForWindow(installer.id(), title);
    ASSERT_NE(frame, nullptr);
    expectPage(frame, wizard::StartPage);
    EXPECT_EQ(controlText(frame, IDOK), next);
    EXPECT_EQ(controlText(frame, IDCANCEL), cancel);
    screenshot(frame, L"start");
    click(frame, IDCANCEL);
    answer(waitForMessageBox(installer.id(), {frame}), IDYES);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
}

TEST(Language, EnglishUserWithoutPreferenceGetsEnglish) {
    expectStartIn(L"Installer \u2013 Kelvane 3.00g", L"Next  >", L"Cancel");
}

TEST(Language, StoredGermanPreferenceWins) {
    storeLanguagePreference(2);
    expectStartIn(L"Installationsprogramm \u2013 Kelvane 3.00g", L"Weiter  >", L"Abbrechen");
}

TEST(Language, PolishPreferenceFallsBackToEnglishTexts) {
    storeLanguagePreference(15);
    expectStartIn(L"Installer \u2013 Kelvane 3.00g", L"Next  >", L"Cancel");
}

TEST(Language, CzechPreferenceIsNotAProductLanguage) {
    // Czech has installer texts, so taking the preference would show them.
    storeLanguagePreference(12);
    expectStartIn(L"Installer \u2013 Kelvane 3.00g", L"Next  >", L"Cancel");
}

} // namespace
