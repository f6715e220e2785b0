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
    EXPECT_EQ(SameElementsExactly(GetParam().a, GetParam().b), GetParam().same);
    EXPECT_EQ(SameElementsExactly(GetParam().b, GetParam().a), GetParam().same);
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

TEST(SameElements, UsesTheGivenElementEquality) {
    std::vector<std::pair<std::wstring, std::wstring>> asked;
    const auto equal = [&](std::wstring_view x, std::wstring_view y) {
        asked.emplace_back(x, y);
        return x.size() == y.size();
    };
    EXPECT_TRUE(SameElements(L"C:\\ab\\c", L"D:/xy/z", equal));
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_FALSE(SameElements(L"C:\\ab", L"C:\\abc", equal));
}

TEST(IsDriveAbsolute, NeedsLetterColonBackslash) {
    EXPECT_TRUE(IsDriveAbsolute(L"C:\\"));
    EXPECT_TRUE(IsDriveAbsolute(L"z:\\x"));
    EXPECT_FALSE(IsDriveAbsolute(L"C:/x"));
    EXPECT_FALSE(IsDriveAbsolute(L"C:x"));
    EXPECT_FALSE(IsDriveAbsolute(L"\\\\server\\share"));
    EXPECT_FALSE(IsDriveAbsolute(L"C:"));
    EXPECT_FALSE(IsDriveAbsolute(L"1:\\"));
}

TEST(IsAbsoluteFolder, TakesADriveOrAServerButNothingRelative) {
    for (const wchar_t* folder : {L"C:\\", L"C:\\Program Files\\Kelvane", L"\\\\server\\share"}) {
        EXPECT_TRUE(IsAbsoluteFolder(folder)) << testing::PrintToString(std::wstring(folder));
    }
    for (const wchar_t* folder :
         {L"", L"Kelvane", L"C:", L"C:Kelvane", L"\\Kelvane", L"\\\\", L"\\\\\\x", L".\\Kelvane"}) {
        EXPECT_FALSE(IsAbsoluteFolder(folder)) << testing::PrintToString(std::wstring(folder));
    }
}

} // namespace
