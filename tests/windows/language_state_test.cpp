#include "support/language_state.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

namespace {

constexpr std::uint32_t productLanguages = 0x88A9F;

std::wstring runtimeCategory(int category) {
    const wchar_t* name = ::_wsetlocale(category, nullptr);
    return name != nullptr ? name : L"";
}

bool contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// Runs first: the state is created by the first use in this process.
TEST(LanguageState, CreatedInFrenchWithProcessWideLocales) {
    const tw::LanguageState& state = tw::currentLanguage();
    EXPECT_EQ(state.availableMask, 1u);
    EXPECT_EQ(state.languageIndex, 0);
    EXPECT_EQ(state.lcid, tw::languageLcid(0, ::GetUserDefaultLCID()));
    EXPECT_EQ(state.codePage, 1252u);
    EXPECT_EQ(state.resourceModule, nullptr);
    EXPECT_FALSE(state.rightToLeft);
    EXPECT_EQ(::GetThreadLocale(), state.lcid);
    EXPECT_EQ(::_configthreadlocale(0), _DISABLE_PER_THREAD_LOCALE);
    EXPECT_TRUE(contains(runtimeCategory(LC_CTYPE), L"French") ||
                contains(runtimeCategory(LC_CTYPE), L"fr-"))
        << runtimeCategory(LC_CTYPE);
    EXPECT_EQ(runtimeCategory(LC_NUMERIC), L"C");
}

class LanguageStateTest : public ::testing::Test {
protected:
    void TearDown() override { tw::SetLanguage(tw::language::english); }
};

TEST_F(LanguageStateTest, DefaultLanguageOfAnEnglishUser) {
    if (::GetUserDefaultLangID() != 0x0409) {
        GTEST_SKIP() << "the session's user language is not English (0x0409)";
    }
    EXPECT_EQ(tw::DefaultLanguage(productLanguages), tw::language::english);
    // The state offers French alone by default.
    EXPECT_EQ(tw::DefaultLanguage(0), tw::language::french);
    EXPECT_EQ(tw::DefaultLanguage(0x4), tw::language::french);
}

TEST_F(LanguageStateTest, DefaultLanguageMapsTheUsersLanguageIdentifier) {
    const LANGID user = ::GetUserDefaultLangID();
    for (const std::uint32_t mask : {productLanguages, 0x1FFFFFu, 0x4u, 0x2u, 0x1u}) {
        EXPECT_EQ(tw::DefaultLanguage(mask), tw::defaultLanguageFor(user, mask)) << "mask " << mask;
    }
}

TEST_F(LanguageStateTest, SetLanguageFillsTheState) {
    tw::LanguageState& state = tw::currentLanguage();
    tw::resourceModule();
    ASSERT_NE(state.resourceModule, nullptr);
    tw::SetLanguage(tw::language::german);
    EXPECT_EQ(state.languageIndex, 2);
    EXPECT_EQ(state.lcid, tw::languageLcid(2, ::GetUserDefaultLCID()));
    EXPECT_EQ(state.lcid & 0xFFFF, 0x0407u);
    EXPECT_EQ(state.codePage, 1252u);
    EXPECT_FALSE(state.rightToLeft);
    EXPECT_EQ(state.resourceModule, nullptr);
    EXPECT_EQ(tw::resourceModule(), ::GetModuleHandleW(nullptr));
    EXPECT_EQ(state.resourceModule, ::GetModuleHandleW(nullptr));
}

TEST_F(LanguageStateTest, CodePagesAndReadingOrder) {
    struct Case {
        std::int32_t index;
        std::uint32_t codePage;
        bool rightToLeft;
    };
    for (const Case& c : {Case{16, 1255, true}, Case{18, 932, false}, Case{10, 936, false},
                          Case{8, 1251, false}, Case{7, 1254, false}, Case{12, 1250, false},
                          Case{14, 1253, false}, Case{17, 1258, false}, Case{0, 1252, false}}) {
        tw::SetLanguage(c.index);
        EXPECT_EQ(tw::currentLanguage().codePage, c.codePage) << "index " << c.index;
        EXPECT_EQ(tw::currentLanguage().rightToLeft, c.rightToLeft) << "index " << c.index;
    }
}

TEST_F(LanguageStateTest, UnknownLocaleTakesTheSystemCodePage) {
    // Serbian (Latin), 0x081A, is unknown to some systems (Wine 8 among them).
    DWORD known = 0;
    const bool systemKnowsIt =
        ::GetLocaleInfoW(0x081A, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                         reinterpret_cast<wchar_t*>(&known), 2) != 0;
    tw::SetLanguage(20);
    EXPECT_EQ(tw::currentLanguage().languageIndex, 20);
    EXPECT_EQ(tw::currentLanguage().codePage, systemKnowsIt ? known : ::GetACP());
    EXPECT_FALSE(tw::currentLanguage().rightToLeft);
    if (!systemKnowsIt) {
        // No locale name: the runtime stays in "C" rather than taking "",
        // which would mean the user's locale.
        EXPECT_EQ(runtimeCategory(LC_ALL), L"C");
    }
}

TEST_F(LanguageStateTest, RuntimeLocalesFollowTheLanguage) {
    tw::SetLanguage(tw::language::german);
    for (const int category : {LC_CTYPE, LC_COLLATE, LC_TIME, LC_MONETARY}) {
        const std::wstring name = runtimeCategory(category);
        EXPECT_TRUE(contains(name, L"German") || contains(name, L"de-DE")) << name;
    }
    EXPECT_EQ(runtimeCategory(LC_NUMERIC), L"C");

    bool namedLocaleBuilds = true;
    try {
        std::locale named("de-DE");
    } catch (const std::runtime_error&) {
        namedLocaleBuilds = false;
    }
    if (!namedLocaleBuilds) {
        // This standard library builds no named locale: the classic one.
        EXPECT_TRUE(std::locale() == std::locale::classic());
    } else {
        EXPECT_FALSE(std::locale() == std::locale::classic());
    }
}

TEST_F(LanguageStateTest, SameLanguageDoesNotReapplyTheLocales) {
    tw::SetLanguage(tw::language::german);
    ::_wsetlocale(LC_ALL, L"C");
    tw::SetLanguage(tw::language::german);
    EXPECT_EQ(runtimeCategory(LC_CTYPE), L"C");
    tw::SetLanguage(tw::language::english);
    EXPECT_TRUE(contains(runtimeCategory(LC_CTYPE), L"English") ||
                contains(runtimeCategory(LC_CTYPE), L"en-"))
        << runtimeCategory(LC_CTYPE);
}

TEST_F(LanguageStateTest, IndexOutsideTheTableChangesNothing) {
    tw::SetLanguage(tw::language::german);
    EXPECT_THROW(tw::SetLanguage(21), std::out_of_range);
    EXPECT_THROW(tw::SetLanguage(-1), std::out_of_range);
    EXPECT_EQ(tw::currentLanguage().languageIndex, 2);
    EXPECT_EQ(tw::currentLanguage().lcid & 0xFFFF, 0x0407u);
}

TEST(LanguageNames, NativeNamesBeginWithACapital) {
    struct Case {
        std::int32_t index;
        const wchar_t* name;
    };
    for (const Case& c :
         {Case{0, L"Fran\u00E7ais"}, Case{1, L"English"}, Case{2, L"Deutsch"},
          Case{3, L"Espa\u00F1ol"}, Case{11, L"Italiano"}, Case{4, L"Portugu\u00EAs"},
          Case{15, L"Polski"}, Case{7, L"T\u00FCrk\u00E7e"}, Case{9, L"Rom\u00E2n\u0103"},
          Case{19, L"Magyar"}}) {
        EXPECT_EQ(tw::nativeLanguageName(c.index), c.name) << "index " << c.index;
    }
}

TEST(LanguageNames, EveryKnownLocaleHasAName) {
    for (std::int32_t index = 0; index < tw::languageCount; ++index) {
        wchar_t system[128] = {};
        const LCID lcid = tw::languageLcid(index, ::GetUserDefaultLCID());
        if (::GetLocaleInfoW(lcid, LOCALE_SNATIVELANGNAME, system, 128) <= 1) {
            EXPECT_EQ(tw::nativeLanguageName(index), L"") << "index " << index;
            continue;
        }
        const std::wstring name = tw::nativeLanguageName(index);
        ASSERT_FALSE(name.empty()) << "index " << index;
        EXPECT_EQ(name.substr(1), std::wstring(system).substr(1)) << "index " << index;
        wchar_t first = name[0];
        ::CharUpperBuffW(&first, 1);
        EXPECT_EQ(name[0], first) << "index " << index;
    }
}

TEST(LanguageNames, ReadingOrderOfEachLanguage) {
    for (std::int32_t index = 0; index < tw::languageCount; ++index) {
        EXPECT_EQ(tw::isRightToLeft(index), index == tw::language::hebrew) << "index " << index;
    }
}

} // namespace
