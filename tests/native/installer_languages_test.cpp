#include "install/installer_languages.h"

#include "support/language_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

namespace {

// String tables in memory: a missing id loads as an empty text.
struct Strings {
    std::map<int, std::wstring> entries;
    std::vector<int> loaded;

    std::function<std::wstring(int)> loader() {
        return [this](int id) {
            loaded.push_back(id);
            const auto found = entries.find(id);
            return found == entries.end() ? std::wstring{} : found->second;
        };
    }
};

TEST(InstallerLanguages, ProductLanguages) {
    const std::set<std::int64_t> product{0, 1, 2, 3, 4, 7, 9, 11, 15, 19};
    for (std::int64_t index = -2; index < 40; ++index) {
        EXPECT_EQ(IsProductLanguage(index), product.count(index) == 1) << "index " << index;
    }
    EXPECT_FALSE(IsProductLanguage(0xFFFFFFFFll));
    EXPECT_FALSE(IsProductLanguage(32 + 2)); // bit 2 again after a 32-bit wrap
}

TEST(InstallerLanguages, LanguagesWithInstallerTexts) {
    const std::set<std::int64_t> texts{0, 1, 2, 3, 4, 7, 9, 11, 12, 19};
    for (std::int64_t index = -2; index < 40; ++index) {
        EXPECT_EQ(HasInstallerTexts(index), texts.count(index) == 1) << "index " << index;
    }
}

TEST(InstallerLanguages, StartPageListsEveryProductLanguageOnce) {
    std::set<std::int32_t> seen;
    for (const std::int32_t index : StartPageLanguages) {
        EXPECT_TRUE(IsProductLanguage(index)) << "index " << index;
        EXPECT_TRUE(seen.insert(index).second) << "index " << index;
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(StartPageLanguages[4], 11); // Italian before Portuguese
}

TEST(InstallerLanguages, FlagIcons) {
    const std::map<std::int32_t, int> icons{
        {0, 144},  {1, 145},  {2, 141},  {3, 143},  {4, 148},  {5, 147},  {6, 142},
        {7, 149},  {8, 150},  {9, 151},  {10, 152}, {11, 146}, {12, 153}, {13, 154},
        {14, 155}, {15, 156}, {16, 157}, {17, 158}, {18, 160}, {19, 161}, {20, 162}};
    for (const auto& [index, icon] : icons) {
        EXPECT_EQ(flagIcon(index), icon) << "index " << index;
    }
    EXPECT_THROW(flagIcon(21), std::out_of_range);
    EXPECT_THROW(flagIcon(-1), std::out_of_range);
}

TEST(TextId, FrenchIsNeverChecked) {
    Strings strings;
    strings.entries = {{1007, L"#"}, {1013, L"D\u00E9sinstaller %1"}};
    for (const int base : {1000, 1007, 1013, 1109, 1129}) {
        EXPECT_EQ(textIdFor(base, tw::language::french, strings.loader()), base);
    }
    EXPECT_TRUE(strings.loaded.empty());
}

TEST(TextId, CurrentLanguageWhenTranslated) {
    Strings strings;
    strings.entries = {
        {3007, L"Installieren"}, {6007, L"Installa"}, {20007, L"Telep\u00EDt\u00E9s"}};
    EXPECT_EQ(textIdFor(1007, tw::language::german, strings.loader()), 3007);
    EXPECT_EQ(textIdFor(1007, 11, strings.loader()), 6007); // Italian: block 6000
    EXPECT_EQ(textIdFor(1007, 19, strings.loader()), 20007);
    EXPECT_EQ(textIdFor(1007, tw::language::english, strings.loader()), 2007);
}

TEST(TextId, CzechInstallFallsBackToEnglish) {
    Strings strings;
    strings.entries = {{13007, L"#"}, {2007, L"Install"}, {1007, L"Installer"}};
    EXPECT_EQ(textIdFor(1007, tw::language::czech, strings.loader()), 2007);
    EXPECT_EQ(strings.loaded, (std::vector<int>{13007, 2007}));
}

TEST(TextId, UntranslatedEverywhereFallsBackToFrench) {
    Strings strings;
    strings.entries = {{3050, L"#"}, {2050, L"#"}, {1050, L"Texte"}};
    EXPECT_EQ(textIdFor(1050, tw::language::german, strings.loader()), 1050);
    Strings english;
    english.entries = {{2050, L"#"}};
    EXPECT_EQ(textIdFor(1050, tw::language::english, english.loader()), 1050);
    EXPECT_EQ(english.loaded, (std::vector<int>{2050}));
}

TEST(TextId, LanguagesWithoutInstallerTextsUseEnglish) {
    Strings strings;
    strings.entries = {{2007, L"Install"}, {16007, L"Zainstaluj"}};
    // Polish has a block of its own, but the installer's texts are not
    // translated: its entries are never read.
    EXPECT_EQ(textIdFor(1007, tw::language::polish, strings.loader()), 2007);
    EXPECT_EQ(textIdFor(1007, tw::language::hebrew, strings.loader()), 2007);
    EXPECT_EQ(strings.loaded, (std::vector<int>{2007, 2007}));
    Strings untranslated;
    untranslated.entries = {{2007, L"#"}};
    EXPECT_EQ(textIdFor(1007, tw::language::polish, untranslated.loader()), 1007);
}

TEST(TextId, OnlyExactlyAHashIsUntranslated) {
    Strings strings;
    strings.entries = {{3001, L"# "}, {3002, L"##"}, {3003, L""}};
    EXPECT_EQ(textIdFor(1001, tw::language::german, strings.loader()), 3001);
    EXPECT_EQ(textIdFor(1002, tw::language::german, strings.loader()), 3002);
    // A missing or empty entry keeps its id.
    EXPECT_EQ(textIdFor(1003, tw::language::german, strings.loader()), 3003);
    EXPECT_EQ(textIdFor(1004, tw::language::german, strings.loader()), 3004);
}

} // namespace
