#include "install/path_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct SameCase {
    const wchar_t* a;
    const wchar_t* b;
    bool same;
};

class SameElementsTest : public testing::TestWithParam<SameCase> {};

TEST_P(SameElementsTest, ComparesElementsWithExactCharacters) {
    EXPECT_EQ(sameElementsExactly(GetParam().a, GetParam().b), GetParam().same);
    EXPECT_EQ(sameElementsExactly(GetParam().b, GetParam().a), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(Pairs, SameElementsTest,
                         testing::Values(SameCase{L"C:\\A\\b", L"C:\\A\\b", true},
                                         SameCase{L"C:\\A\\b", L"C:/A/b", true},
                                         SameCase{L"C:\\A\\\\b", L"C:\\A\\b", true},
                                         SameCase{L"C:\\A\\b", L"C:\\a\\b", false},
                                         SameCase{L"C:\\A\\b", L"c:\\A\\b", false},
                                         SameCase{L"C:\\A\\b\\", L"C:\\A\\b", false},
                                         SameCase{L"C:A", L"C:\\A", false},
                                         SameCase{L"\\A", L"A", false},
                                         SameCase{L"\\\\A\\B", L"\\A\\B", false},
                                         SameCase{L"C:\\A\\.\\b", L"C:\\A\\b", false},
                                         SameCase{L"", L"", true}, SameCase{L"", L"\\", false}));

TEST(sameElements, UsesTheGivenElementEquality) {
    std::vector<std::pair<std::wstring, std::wstring>> asked;
    const auto equal = [&](std::wstring_view x, std::wstring_view y) {
        asked.emplace_back(x, y);
        return x.size() == y.size();
    };
    EXPECT_TRUE(sameElements(L"C:\\ab\\c", L"D:/xy/z", equal));
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_FALSE(sameElements(L"C:\\ab", L"C:\\abc", equal));
}

TEST(isDriveAbsolute, NeedsLetterColonBackslash) {
    EXPECT_TRUE(isDriveAbsolute(L"C:\\"));
    EXPECT_TRUE(isDriveAbsolute(L"z:\\x"));
    EXPECT_FALSE(isDriveAbsolute(L"C:/x"));
    EXPECT_FALSE(isDriveAbsolute(L"C:x"));
    EXPECT_FALSE(isDriveAbsolute(L"\\\\server\\share"));
    EXPECT_FALSE(isDriveAbsolute(L"C:"));
    EXPECT_FALSE(isDriveAbsolute(L"1:\\"));
}

TEST(isAbsoluteFolder, TakesADriveOrAServerButNothingRelative) {
    for (const wchar_t* folder : {L"C:\\", L"C:\\Program Files\\Kelvane", L"\\\\server\\share"}) {
        EXPECT_TRUE(isAbsoluteFolder(folder)) << testing::PrintToString(std::wstring(folder));
    }
    for (const wchar_t* folder :
         {L"", L"Kelvane", L"C:", L"C:Kelvane", L"\\Kelvane", L"\\\\", L"\\\\\\x", L".\\Kelvane"}) {
        EXPECT_FALSE(isAbsoluteFolder(folder)) << testing::PrintToString(std::wstring(folder));
    }
}

} // namespace
