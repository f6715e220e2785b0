#include "support/path_text.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
