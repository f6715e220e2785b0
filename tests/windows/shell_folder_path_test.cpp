// Shell folders by CSIDL with an optional fallback.
#include "support/shell_folder_path.h"

#include "test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

using testing_support::directShellFolder;

// A CSIDL that names no shell folder.
constexpr int unknownCsidl = 0x7F;

struct LookupCase {
    const char* name;
    int csidl;
    std::optional<int> fallback;
    int answeredBy; // the CSIDL whose path comes back; unknownCsidl for none
};

void PrintTo(const LookupCase& param, std::ostream* out) {
    *out << param.name;
}

class ShellFolderPath : public testing::TestWithParam<LookupCase> {};

TEST_P(ShellFolderPath, AnswersWithTheFirstFolderThatHasAPath) {
    const LookupCase& c = GetParam();
    const std::wstring expected =
        c.answeredBy == unknownCsidl ? std::wstring() : directShellFolder(c.answeredBy);
    if (c.answeredBy != unknownCsidl) {
        ASSERT_FALSE(expected.empty());
    }
    EXPECT_EQ(tw::shellFolderPath(nullptr, c.csidl, c.fallback), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, ShellFolderPath,
    testing::Values(LookupCase{"KnownWithoutFallback", CSIDL_PROGRAM_FILES, std::nullopt,
                               CSIDL_PROGRAM_FILES},
                    LookupCase{"KnownBeforeItsFallback", CSIDL_COMMON_DESKTOPDIRECTORY,
                               CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY},
                    LookupCase{"UnknownFallsBack", unknownCsidl, CSIDL_APPDATA, CSIDL_APPDATA},
                    LookupCase{"UnknownWithoutFallback", unknownCsidl, std::nullopt, unknownCsidl},
                    LookupCase{"NeitherKnown", unknownCsidl, unknownCsidl, unknownCsidl}),
    [](const testing::TestParamInfo<LookupCase>& param) { return std::string(param.param.name); });

TEST(ShellFolderPath, AnswersTheSameWithAnOwnerWindow) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(tw::shellFolderPath(window, CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS),
              directShellFolder(CSIDL_COMMON_PROGRAMS));
    EXPECT_EQ(tw::shellFolderPath(window, unknownCsidl, CSIDL_STARTMENU),
              directShellFolder(CSIDL_STARTMENU));
    ::DestroyWindow(window);
}

} // namespace
