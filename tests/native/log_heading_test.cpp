#include "wizard/log_heading.h"

#include <gtest/gtest.h>

namespace {

// Every character is 4 pixels wide, a dash too.
int fixedWidth(const std::wstring& text) {
    return static_cast<int>(text.size()) * 4;
}

TEST(DashedLine, EmptyTextIsAFullLineOfDashes) {
    EXPECT_EQ(wizard::dashedLine(L"", 42, 4, fixedWidth), std::wstring(10, L'-') + L"\r\n");
}

TEST(DashedLine, HeadingIsCentredWithTheOddDashAfter) {
    // " Options " is 9 characters = 36 px; 80 - 36 = 44 px = 11 dashes: 5 before, 6 after.
    EXPECT_EQ(wizard::dashedLine(L"Options", 80, 4, fixedWidth), L"----- Options ------\r\n");
    // 84 px: 12 dashes, 6 on each side.
    EXPECT_EQ(wizard::dashedLine(L"Options", 84, 4, fixedWidth), L"------ Options ------\r\n");
}

TEST(DashedLine, HeadingWiderThanTheLineGetsNoDashes) {
    EXPECT_EQ(wizard::dashedLine(L"Installation Options", 20, 4, fixedWidth),
              L" Installation Options \r\n");
    EXPECT_EQ(wizard::dashedLine(L"ab", 15, 4, fixedWidth), L" ab \r\n");
}

TEST(DashedLine, ZeroDashWidthDoesNotDivideByZero) {
    EXPECT_EQ(wizard::dashedLine(L"", 3, 0, fixedWidth), L"---\r\n");
}

} // namespace
