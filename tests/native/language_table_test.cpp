#include "support/language_table.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace tw;

constexpr std::uint32_t productLanguages = 0x88A9F;
constexpr std::uint32_t allLanguages = (1u << languageCount) - 1;

constexpr std::uint16_t langId(std::uint16_t primary, std::uint16_t sub) {
    return static_cast<std::uint16_t>((sub << 10) | primary);
}

TEST(LanguageTable, LanguageIdentifiersAndTextBlocks) {
    struct Row {
        std::int32_t index;
        std::uint16_t langId;
        std::int32_t offset;
    };
    const Row rows[] = {
        {0, 1036, 0},      {1, 1033, 1000},   {2, 1031, 2000},   {3, 3082, 3000},
        {4, 2070, 4000},   {5, 1043, 6000},   {6, 1030, 7000},   {7, 1055, 8000},
        {8, 1026, 10000},  {9, 1048, 11000},  {10, 2052, 9000},  {11, 1040, 5000},
        {12, 1029, 12000}, {13, 1044, 13000}, {14, 1032, 14000}, {15, 1045, 15000},
        {16, 1037, 16000}, {17, 1066, 17000}, {18, 1041, 18000}, {19, 1038, 19000},
        {20, 2074, 20000},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(languageLangId(row.index), row.langId) << "index " << row.index;
        EXPECT_EQ(languageTextOffset(row.index), row.offset) << "index " << row.index;
    }
}

TEST(LanguageTable, IndexOutsideTheTableIsRejected) {
    EXPECT_THROW(languageLangId(-1), std::out_of_range);
    EXPECT_THROW(languageLangId(21), std::out_of_range);
    EXPECT_THROW(languageTextOffset(21), std::out_of_range);
    EXPECT_THROW(languageLcid(32, 0x0409), std::out_of_range);
    EXPECT_FALSE(isLanguageIndex(21));
    EXPECT_FALSE(isLanguageIndex(0xFFFFFFFFll));
    EXPECT_TRUE(isLanguageIndex(20));
}

struct DefaultCase {
    const char* user;
    std::uint16_t userLangId;
    std::uint32_t mask;
    std::int32_t expected;
};

class DefaultLanguage : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultLanguage, MapsTheUsersLanguage) {
    const DefaultCase& c = GetParam();
    EXPECT_EQ(defaultLanguageFor(c.userLangId, c.mask), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    UserLanguages, DefaultLanguage,
    ::testing::Values(DefaultCase{"German", 0x0407, productLanguages, 2},
                      DefaultCase{"SwissGerman", 0x0807, productLanguages, 2},
                      DefaultCase{"French", 0x040C, productLanguages, 0},
                      DefaultCase{"CanadianFrench", 0x0C0C, productLanguages, 0},
                      DefaultCase{"English", 0x0409, productLanguages, 1},
                      DefaultCase{"BritishEnglish", 0x0809, productLanguages, 1},
                      DefaultCase{"BrazilianPortuguese", 0x0416, productLanguages, 4},
                      DefaultCase{"Italian", 0x0410, productLanguages, 11},
                      DefaultCase{"Polish", 0x0415, productLanguages, 15},
                      DefaultCase{"Hungarian", 0x040E, productLanguages, 19},
                      DefaultCase{"Turkish", 0x041F, productLanguages, 7},
                      DefaultCase{"Romanian", 0x0418, productLanguages, 9},
                      DefaultCase{"SpanishModern", 0x0C0A, productLanguages, 3},
                      DefaultCase{"MexicanSpanish", 0x080A, productLanguages, 3},
                      // Czech has installer texts but is not a product language.
                      DefaultCase{"Czech", 0x0405, productLanguages, 1},
                      DefaultCase{"CzechAmongAll", 0x0405, allLanguages, 12},
                      DefaultCase{"Dutch", 0x0413, productLanguages, 1},
                      DefaultCase{"Hebrew", 0x040D, allLanguages, 16},
                      DefaultCase{"Japanese", 0x0411, allLanguages, 18},
                      DefaultCase{"Vietnamese", 0x042A, allLanguages, 17},
                      // Serbian (Latin) and Croatian share the primary language 0x1A.
                      DefaultCase{"SerbianLatin", 0x081A, allLanguages, 20},
                      DefaultCase{"Croatian", 0x041A, allLanguages, 20},
                      DefaultCase{"Norwegian", 0x0414, allLanguages, 13},
                      DefaultCase{"NorwegianNynorsk", 0x0814, allLanguages, 13},
                      // Only simplified Chinese (sub-languages 2 and 4) maps.
                      DefaultCase{"ChinesePrc", langId(0x04, 2), allLanguages, 10},
                      DefaultCase{"ChineseSingapore", langId(0x04, 4), allLanguages, 10},
                      DefaultCase{"ChineseTaiwan", langId(0x04, 1), allLanguages, 1},
                      DefaultCase{"ChineseHongKong", langId(0x04, 3), allLanguages, 1},
                      DefaultCase{"ChineseMacao", langId(0x04, 5), allLanguages, 1},
                      DefaultCase{"ChinesePrcNotOffered", langId(0x04, 2), productLanguages, 1},
                      // Unknown languages and masks without the user's language.
                      DefaultCase{"Finnish", 0x040B, allLanguages, 1},
                      DefaultCase{"Neutral", 0x0000, allLanguages, 1},
                      DefaultCase{"GermanNotOffered", 0x0407, 0x1, 0},
                      DefaultCase{"GermanNotOfferedButEnglish", 0x0407, 0x3, 1},
                      DefaultCase{"FrenchOnly", 0x040C, 0x1, 0},
                      DefaultCase{"EmptyMask", 0x0407, 0x0, 0}),
    [](const ::testing::TestParamInfo<DefaultCase>& param) { return param.param.user; });

TEST(LanguageLcid, UserLcidWhenItsLanguageIsTheIndexs) {
    // A sort order in the high bits belongs to the user's LCID.
    EXPECT_EQ(languageLcid(2, 0x00010407), 0x00010407u);
    EXPECT_EQ(languageLcid(2, 0x0407), 0x0407u);
    // Swiss German is another language identifier than German's 1031.
    EXPECT_EQ(languageLcid(2, 0x0807), 0x0407u);
    EXPECT_EQ(languageLcid(1, 0x0407), 0x0409u);
    EXPECT_EQ(languageLcid(10, 0x0804), 0x0804u);
}

TEST(NamingLocale, UserLocaleWhenThePrimaryLanguageMatches) {
    EXPECT_EQ(namingLocale(2, 0x0807, 0x0807), userDefaultLocale);
    EXPECT_EQ(namingLocale(1, 0x0809, 0x0809), userDefaultLocale);
    EXPECT_EQ(namingLocale(2, 0x0409, 0x0409), 0x0407u);
    EXPECT_EQ(namingLocale(0, 0x0409, 0x0409), 0x040Cu);
    // The language identifier and the LCID of the user disagree: the LCID
    // still names the locale when its language is the index's.
    EXPECT_EQ(namingLocale(2, 0x0409, 0x00010407), 0x00010407u);
}

TEST(RightToLeft, FontSignatureDecidesWhenRead) {
    constexpr std::uint32_t layoutBit = 1u << 27;
    EXPECT_TRUE(rightToLeftFrom(0x88000000u, 16));
    EXPECT_TRUE(rightToLeftFrom(layoutBit, 1));
    EXPECT_FALSE(rightToLeftFrom(0x80000000u, 16));
    EXPECT_FALSE(rightToLeftFrom(~layoutBit, 16));
}

TEST(RightToLeft, HebrewAloneWithoutFontSignature) {
    for (std::int32_t index = 0; index < languageCount; ++index) {
        EXPECT_EQ(rightToLeftFrom(std::nullopt, index), index == 16) << "index " << index;
    }
}

} // namespace
