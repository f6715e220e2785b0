#include "support/path_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tw;

TEST(PathText, SeparatorsAreBothSlashes) {
    EXPECT_TRUE(isPathSeparator(L'\\'));
    EXPECT_TRUE(isPathSeparator(L'/'));
    EXPECT_FALSE(isPathSeparator(L':'));
    EXPECT_FALSE(isPathSeparator(L'|'));
    EXPECT_FALSE(isPathSeparator(L'\0'));
}

struct DriveCase {
    const wchar_t* path;
    bool drive;
};

class DrivePrefix : public testing::TestWithParam<DriveCase> {};

TEST_P(DrivePrefix, IsALetterAndAColon) {
    EXPECT_EQ(hasDrivePrefix(GetParam().path), GetParam().drive);
}

INSTANTIATE_TEST_SUITE_P(Paths, DrivePrefix,
                         testing::Values(DriveCase{L"C:", true}, DriveCase{L"c:\\x", true},
                                         DriveCase{L"Z:x", true}, DriveCase{L"a:/", true},
                                         DriveCase{L"C", false}, DriveCase{L"", false},
                                         DriveCase{L"1:\\", false}, DriveCase{L"@:\\", false},
                                         DriveCase{L"[:\\", false}, DriveCase{L"`:\\", false},
                                         DriveCase{L"{:\\", false}, DriveCase{L"\\\\s\\x", false},
                                         DriveCase{L"\u00C4:\\", false}));

struct ParentCase {
    const wchar_t* path;
    const wchar_t* parent;
};

class ParentPath : public testing::TestWithParam<ParentCase> {};

TEST_P(ParentPath, IsEverythingBeforeTheLastSeparator) {
    EXPECT_EQ(parentPath(GetParam().path), GetParam().parent);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ParentPath,
    testing::Values(ParentCase{L"C:\\x\\a.txt", L"C:\\x"}, ParentCase{L"a.txt", L""},
                    ParentCase{L"", L""}, ParentCase{L"C:/x/a.txt", L"C:/x"},
                    ParentCase{L"C:\\x/y\\a", L"C:\\x/y"}, ParentCase{L"C:\\x\\", L"C:\\x"},
                    ParentCase{L"C:\\a", L"C:"}, ParentCase{L"\\a", L""},
                    ParentCase{L"\\\\server\\share", L"\\\\server"}, ParentCase{L"C:a", L""}));

TEST(PathText, FileNameIsEverythingAfterTheLastSeparator) {
    EXPECT_EQ(fileName(L"C:\\x/y\\a.txt"), L"a.txt");
    EXPECT_EQ(fileName(L"C:/x/a.txt"), L"a.txt");
    EXPECT_EQ(fileName(L"a.txt"), L"a.txt");
    EXPECT_EQ(fileName(L"C:\\x\\"), L"");
}

std::vector<std::wstring> Elements(std::wstring_view path) {
    std::vector<std::wstring> out;
    for (const auto element : pathElements(path)) {
        out.emplace_back(element);
    }
    return out;
}

struct ElementsCase {
    const wchar_t* path;
    std::vector<std::wstring> elements;
};

class PathElementsTest : public testing::TestWithParam<ElementsCase> {};

TEST_P(PathElementsTest, SplitsDriveRootAndNames) {
    EXPECT_EQ(Elements(GetParam().path), GetParam().elements);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathElementsTest,
    testing::Values(ElementsCase{L"", {}}, ElementsCase{L"C:", {L"C:"}},
                    ElementsCase{L"C:\\", {L"C:", L"\\"}}, ElementsCase{L"C:/", {L"C:", L"\\"}},
                    ElementsCase{L"C:\\A\\b c", {L"C:", L"\\", L"A", L"b c"}},
                    ElementsCase{L"C:/A//b\\\\/c", {L"C:", L"\\", L"A", L"b", L"c"}},
                    ElementsCase{L"C:\\A\\", {L"C:", L"\\", L"A", L""}},
                    ElementsCase{L"C:\\A\\\\", {L"C:", L"\\", L"A", L""}},
                    ElementsCase{L"C:rel\\x", {L"C:", L"rel", L"x"}},
                    ElementsCase{L"rel\\x", {L"rel", L"x"}}, ElementsCase{L"\\A", {L"\\", L"A"}},
                    ElementsCase{L"\\\\server\\share\\x", {L"\\\\", L"server", L"share", L"x"}},
                    ElementsCase{L"//server/share", {L"\\\\", L"server", L"share"}},
                    ElementsCase{L"1:\\x", {L"1:", L"x"}}));

} // namespace

namespace {

TEST(PathText, NamesLeaveOutTheRootAndEmptyOnes) {
    using Elements = std::vector<std::wstring_view>;
    EXPECT_EQ(tw::pathNames(L"C:\\\\a/b\\"), (Elements{L"C:", L"a", L"b"}));
    EXPECT_EQ(tw::pathNames(L"\\\\server\\share"), (Elements{L"server", L"share"}));
    EXPECT_EQ(tw::pathNames(L"name"), (Elements{L"name"}));
    EXPECT_TRUE(tw::pathNames(L"\\/").empty());
}

TEST(PathText, LevelsDownAreThePartsOfThePathFromTheFolderOn) {
    using Levels = std::vector<std::wstring>;
    EXPECT_EQ(tw::levelsDown(L"C:\\Data\\", L"c:/data/A\\B\\"),
              (Levels{L"c:/data", L"c:/data/A", L"c:/data/A\\B"}));
    EXPECT_EQ(tw::levelsDown(L"C:\\", L"C:\\Data"), (Levels{L"C:\\Data"}));
    EXPECT_EQ(tw::levelsDown(L"\\\\s\\share", L"\\\\s\\share"), (Levels{L"\\\\s\\share"}));
    EXPECT_TRUE(tw::levelsDown(L"C:\\Data", L"C:\\Database").empty());
    EXPECT_TRUE(tw::levelsDown(L"C:\\Data\\a", L"C:\\Data").empty());
    EXPECT_TRUE(tw::levelsDown(L"", L"C:\\Data").empty());
}

TEST(PathText, FolderLevelsStartBelowTheDriveOrTheShare) {
    using Levels = std::vector<std::wstring>;
    EXPECT_EQ(tw::folderLevels(L"C:\\Data\\A/B\\"),
              (Levels{L"C:\\Data", L"C:\\Data\\A", L"C:\\Data\\A/B"}));
    EXPECT_EQ(tw::folderLevels(L"\\\\s\\share\\Data"), (Levels{L"\\\\s\\share\\Data"}));
    EXPECT_TRUE(tw::folderLevels(L"C:\\").empty());
    EXPECT_TRUE(tw::folderLevels(L"\\\\s\\share").empty());
}

TEST(PathText, CaseIsIgnoredForEachPairOfLetters) {
    // The first and last pair of every range, and the letters between ranges.
    const std::wstring lower =
        L"az\u00E0\u00FE\u00FF\u0101\u012F\u0133\u0137\u013A\u0148\u014B\u0177"
        L"\u017A\u017E\u0219\u021B\u03B1\u03C9\u03CB\u03C2\u0430\u044F"
        L"\u0450\u045F";
    const std::wstring upper =
        L"AZ\u00C0\u00DE\u0178\u0100\u012E\u0132\u0136\u0139\u0147\u014A\u0176"
        L"\u0179\u017D\u0218\u021A\u0391\u03A9\u03AB\u03A3\u0410\u042F"
        L"\u0400\u040F";
    ASSERT_EQ(lower.size(), upper.size());
    for (std::size_t i = 0; i < lower.size(); ++i) {
        EXPECT_TRUE(tw::equalIgnoringCase(lower.substr(i, 1), upper.substr(i, 1)))
            << std::hex << static_cast<int>(lower[i]);
    }
    EXPECT_TRUE(tw::equalIgnoringCase(L"Kelvane 3", L"kELVANE 3"));
    for (const auto& [a, b] :
         {std::pair{L"\u00F7", L"\u00D7"}, std::pair{L"i", L"\u0130"}, std::pair{L"\u0131", L"I"},
          std::pair{L"\u0138", L"\u0137"}, std::pair{L"\u0149", L"\u0148"}, std::pair{L"@", L"`"},
          std::pair{L"[", L"{"}, std::pair{L"ab", L"a"}}) {
        EXPECT_FALSE(tw::equalIgnoringCase(a, b)) << testing::PrintToString(std::wstring(a));
    }
}

} // namespace
