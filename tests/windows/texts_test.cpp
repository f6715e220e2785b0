#include "install/texts.h"

#include "support/language_state.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Every text the installer names (install/text_ids.h), read from that table
// by the build.
const std::vector<int> baseIds{KV_TEXT_IDS};

class Texts : public ::testing::Test {
protected:
    void TearDown() override { tw::SetLanguage(tw::language::english); }
};

TEST_F(Texts, FrenchKeepsEveryBase) {
    tw::SetLanguage(tw::language::french);
    for (const int base : baseIds) {
        EXPECT_EQ(TextId(base), base);
    }
    EXPECT_EQ(LoadText(1013), L"D\u00E9sinstaller %1");
    EXPECT_EQ(LoadText(1003), L"\u00C0 propos de '%1'");
}

TEST_F(Texts, CzechInstallIsEnglish) {
    tw::SetLanguage(tw::language::czech);
    EXPECT_EQ(TextId(1007), 2007);
    EXPECT_EQ(LoadText(1007), L"Install");
    EXPECT_EQ(TextId(1006), 13006);
    EXPECT_EQ(LoadText(1006), L"Dal\u0161\u00ED");
}

TEST_F(Texts, TranslationsLoadAsWritten) {
    struct Case {
        std::int32_t language;
        int base;
        const wchar_t* text;
    };
    for (const Case& c : {
             Case{2, 1013, L"Deinstallieren %1"},
             Case{2, 1014, L"Installationssprache ausw\u00E4hlen"},
             Case{2, 1110,
                  L"Die Installation ist nicht abgeschlossen.\r\n\r\n"
                  L"M\u00F6chten Sie die Installation trotzdem beenden?"},
             Case{7, 1002, L"\u0130ptal"},
             Case{9, 1004, L"Ie\u0219ire"},
             Case{19, 1000, L"Telep\u00EDt\u0151"},
             Case{11, 1007, L"Installa"},
             Case{3, 1104, L"\u00BFConfirma la reinstalaci\u00F3n?"},
             Case{4, 1005, L"Anterior"},
         }) {
        tw::SetLanguage(c.language);
        EXPECT_EQ(LoadText(c.base), c.text) << "language " << c.language << " base " << c.base;
    }
}

TEST_F(Texts, EnglishAsTheProductShowsIt) {
    tw::SetLanguage(tw::language::english);
    EXPECT_EQ(LoadText(1000), L"Installer");
    EXPECT_EQ(LoadText(1115), L"Copying File  %1...");
    EXPECT_EQ(TextId(1109), 2109);
    EXPECT_EQ(LoadText(1109), L"");
}

TEST_F(Texts, LanguagesWithoutInstallerTextsShowEnglish) {
    for (const std::int32_t language : {5, 6, 8, 10, 13, 14, 15, 16, 17, 18, 20}) {
        tw::SetLanguage(language);
        EXPECT_EQ(TextId(1007), 2007) << "language " << language;
        EXPECT_EQ(LoadText(1002), L"Cancel") << "language " << language;
    }
}

TEST_F(Texts, NoLanguageShowsAnUntranslatedEntry) {
    for (std::int32_t language = 0; language < tw::languageCount; ++language) {
        tw::SetLanguage(language);
        const bool ownTexts = HasInstallerTexts(language);
        for (const int base : baseIds) {
            EXPECT_NE(LoadText(base), L"#") << "language " << language << " base " << base;
            const bool czechInstall = language == tw::language::czech && base == 1007;
            if (ownTexts && !czechInstall) {
                EXPECT_EQ(TextId(base), base + tw::languageTextOffset(language))
                    << "language " << language << " base " << base;
            }
        }
    }
}

TEST(FlagIcons, EveryLanguageHasASixteenByTwelveFlag) {
    for (std::int32_t language = 0; language < tw::languageCount; ++language) {
        HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                     MAKEINTRESOURCEW(flagIcon(language)),
                                                     IMAGE_ICON, 16, 12, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr) << "language " << language;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP colour{};
        ASSERT_NE(info.hbmColor, nullptr);
        ::GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 16) << "language " << language;
        EXPECT_EQ(colour.bmHeight, 12) << "language " << language;
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

} // namespace
