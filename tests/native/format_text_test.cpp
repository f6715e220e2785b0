#include "install/format_text.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatText, FillsPlaceholdersInAnyOrder) {
    EXPECT_EQ(formatText(L"Update from '%1' to '%2'.", {L"Kelvane 3.00a", L"Kelvane 3.00g"}),
              L"Update from 'Kelvane 3.00a' to 'Kelvane 3.00g'.");
    EXPECT_EQ(formatText(L"%2, then %1, then %2", {L"a", L"b"}), L"b, then a, then b");
}

TEST(FormatText, PlaceholderWithoutArgumentBecomesQuestionMark) {
    EXPECT_EQ(formatText(L"'%1' and '%2'", {L"one"}), L"'one' and '?'");
    EXPECT_EQ(formatText(L"%0", {L"one"}), L"?");
}

TEST(FormatText, OtherPercentSignsStay) {
    EXPECT_EQ(formatText(L"100% sure, %d and %", {L"x"}), L"100% sure, %d and %");
    EXPECT_EQ(formatText(L"Copying File  %1...", {L"\"C:\\a b\\c.txt\""}),
              L"Copying File  \"C:\\a b\\c.txt\"...");
}

TEST(FormatText, ArgumentsAreNotFormattedAgain) {
    EXPECT_EQ(formatText(L"%1", {L"%2"}), L"%2");
}

TEST(FormatText, LettersNameArgumentsAfterTheNinth) {
    EXPECT_EQ(formatText(L"%A", {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"ten"}),
              L"ten");
}

} // namespace

namespace {

TEST(QuotedPath, QuotesOnlyPathsWithBlanks) {
    EXPECT_EQ(quotedPath(L"C:\\Program Files\\Tarnwick"), L"\"C:\\Program Files\\Tarnwick\"");
    EXPECT_EQ(quotedPath(L"C:\\Apps\\Kelvane.exe"), L"C:\\Apps\\Kelvane.exe");
    EXPECT_EQ(quotedPath(L""), L"");
}

TEST(QuotedPath, CutsAt260Characters) {
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'x');
    EXPECT_EQ(quotedPath(longPath), longPath.substr(0, 260));
    const std::wstring longWithBlank = L"C:\\a b\\" + std::wstring(300, L'x');
    EXPECT_EQ(quotedPath(longWithBlank), L"\"" + longWithBlank.substr(0, 260) + L"\"");
}

} // namespace
