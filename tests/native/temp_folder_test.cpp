#include "payload/temp_folder.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

using namespace payload;

TEST(TempFolderLeaf, IsARandomVersion4Uuid) {
    const std::wregex form(
        LR"(tarnwick_\{[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}\})");
    const std::wstring first = tempFolderLeaf();
    const std::wstring second = tempFolderLeaf();
    EXPECT_TRUE(std::regex_match(first, form));
    EXPECT_TRUE(std::regex_match(second, form));
    EXPECT_EQ(first.size(), 47u);
    EXPECT_NE(first, second);
}

TEST(StepErrorText, IsEightLowerCaseDigitsAndTheStep) {
    EXPECT_EQ(stepErrorText(0x7A, L"GetTempPath"), L"0000007a (GetTempPath)");
    EXPECT_EQ(stepErrorText(0, L"GetTempPath"), L"00000000 (GetTempPath)");
    EXPECT_EQ(stepErrorText(0x8007000E, L"x"), L"8007000e (x)");
}

} // namespace
