// The Start page's language list: the product's languages under their own
// names, and the whole wizard switching to the one picked.
#include "wizard.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

constexpr int languageList = 1023;
constexpr int productLine = 1020;
constexpr int englishItem = 1;
constexpr int germanItem = 2;
constexpr int polishItem = 6;

const std::vector<std::wstring> nativeNames{
    L"Fran\u00E7ais",  L"English", L"Deutsch",          L"Espa\u00F1ol",     L"Italiano",
    L"Portugu\u00EAs", L"Polski",  L"T\u00FCrk\u00E7e", L"Rom\u00E2n\u0103", L"Magyar"};

TEST(LanguageList, HoldsTheProductLanguagesUnderTheirOwnNames) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    HWND list = control(frame, languageList);
    ASSERT_NE(list, nullptr);
    const std::vector<ListItem> items = comboExItems(list);
    std::vector<std::wstring> names;
    std::vector<LPARAM> languages;
    for (const ListItem& item : items) {
        names.push_back(item.text);
        languages.push_back(item.data);
    }
    EXPECT_EQ(names, nativeNames);
    EXPECT_EQ(languages, (std::vector<LPARAM>{0, 1, 2, 3, 11, 4, 15, 7, 9, 19}));
    EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), englishItem);
    screenshot(frame, L"start");
    exitConfirmed(installer, frame);
}

TEST(LanguageList, GermanTurnsTheWholeWizardGermanAtOnce) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    chooseItem(frame, languageList, germanItem);
    EXPECT_TRUE(waitUntil([&] {
        return windowText(frame) == L"Installationsprogramm \u2013 Kelvane 3.00g";
    })) << "the title is still "
        << testing::PrintToString(windowText(frame));
    EXPECT_EQ(topLevelWindows(installer.id()).size(), 1u) << "a message was shown";
    EXPECT_EQ(controlText(frame, IDOK), L"Weiter  >");
    EXPECT_EQ(controlText(frame, IDC_BACK), L"<  Zur\u00FCck");
    EXPECT_EQ(controlText(frame, IDCANCEL), L"Abbrechen");
    EXPECT_EQ(controlText(frame, IDC_START_LANGUAGE_LABEL), L"Installationssprache ausw\u00E4hlen");
    EXPECT_EQ(controlText(frame, IDC_START_INFO), L"Installation von 'Kelvane 3.00g'.");
    EXPECT_EQ(controlText(frame, productLine),
              L"Diese Software ist urheberrechtlich gesch\u00FCtzt.");
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Klicken Sie auf 'Weiter', um fortzufahren.");
    EXPECT_EQ(::SendMessageW(control(frame, languageList), CB_GETCURSEL, 0, 0), germanItem);
    screenshot(frame, L"german");

    click(frame, IDOK);
    expectPage(frame, ModePage);
    EXPECT_EQ(controlText(frame, IDC_MODE_GROUP), L"Installationsart");
    EXPECT_EQ(controlText(frame, IDC_MODE_QUICK), L"Schnellinstallation (empfohlen)");
    click(frame, IDCANCEL);
    const ShownMessage question = waitForMessageBox(installer.id(), {frame});
    EXPECT_EQ(question.caption, L"Installationsprogramm \u2013 Kelvane 3.00g");
    EXPECT_EQ(question.text, L"Die Installation ist nicht abgeschlossen.\r\n\r\nM\u00F6chten Sie "
                             L"die Installation trotzdem beenden?");
    answer(question, IDYES);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
}

TEST(LanguageList, PolishIsAnnouncedAndTheInstallerStaysEnglish) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    chooseItem(frame, languageList, polishItem);
    const ShownMessage notice = waitForMessageBox(installer.id(), {frame});
    EXPECT_EQ(notice.text, L"'Kelvane' will be installed in the selected Langage, but the "
                           L"Installer, still under translation,  shall run in English.");
    EXPECT_EQ(notice.buttons, std::vector<int>{IDOK});
    answer(notice, IDOK);
    EXPECT_TRUE(waitUntil([&] { return topLevelWindows(installer.id()).size() == 1; }));
    ::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);

    EXPECT_EQ(windowText(frame), L"Installer \u2013 Kelvane 3.00g");
    EXPECT_EQ(controlText(frame, IDOK), L"Next  >");
    EXPECT_EQ(controlText(frame, IDC_START_LANGUAGE_LABEL), L"Select Installation Langage");
    EXPECT_EQ(::SendMessageW(control(frame, languageList), CB_GETCURSEL, 0, 0), polishItem);
    exitConfirmed(installer, frame);
}

} // namespace
