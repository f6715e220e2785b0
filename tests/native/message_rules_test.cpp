#include "support/message_rules.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace tw;

struct FakeTexts {
    std::map<std::uint16_t, std::wstring> strings;
    std::map<std::int32_t, std::wstring> system;
    std::vector<std::int32_t> asked;

    ErrorTextSources sources() {
        return {[this](std::uint16_t id) {
                    const auto found = strings.find(id);
                    return found == strings.end() ? std::wstring{} : found->second;
                },
                [this](std::int32_t code) {
                    asked.push_back(code);
                    const auto found = system.find(code);
                    return found == system.end() ? std::wstring{} : found->second;
                }};
    }
};

constexpr std::int32_t eFail = static_cast<std::int32_t>(0x80004005);

TEST(ErrorText, SystemTextLosesTrailingLineBreaks) {
    FakeTexts texts;
    texts.system[170] = L"The requested resource is in use.\r\n";
    texts.system[5] = L"Access is denied.\n\r\n";
    EXPECT_EQ(errorTextFrom(170, texts.sources()), L"The requested resource is in use.");
    EXPECT_EQ(errorTextFrom(5, texts.sources()), L"Access is denied.");
}

TEST(ErrorText, InnerLineBreaksStay) {
    FakeTexts texts;
    texts.system[1] = L"first\r\nsecond\r\n";
    EXPECT_EQ(errorTextFrom(1, texts.sources()), L"first\r\nsecond");
}

TEST(ErrorText, CustomerCodeWithStringBitLoadsTheLowWord) {
    FakeTexts texts;
    texts.strings[0x1234] = L"own text";
    texts.system[eFail] = L"Unspecified error";
    EXPECT_EQ(errorTextFrom(static_cast<std::int32_t>(0x28001234), texts.sources()), L"own text");
    EXPECT_TRUE(texts.asked.empty());
}

TEST(ErrorText, CustomerCodeWithMissingStringFallsBackToEFail) {
    FakeTexts texts;
    texts.system[eFail] = L"Unspecified error\r\n";
    EXPECT_EQ(errorTextFrom(static_cast<std::int32_t>(0x28004321), texts.sources()),
              L"Unspecified error");
}

TEST(ErrorText, CustomerCodeWithoutStringBitIsEFail) {
    FakeTexts texts;
    texts.strings[0x0042] = L"never used";
    texts.system[eFail] = L"Unspecified error";
    EXPECT_EQ(errorTextFrom(static_cast<std::int32_t>(0x20000042), texts.sources()),
              L"Unspecified error");
    ASSERT_EQ(texts.asked.size(), 1u);
    EXPECT_EQ(texts.asked[0], eFail);
}

TEST(ErrorText, UnknownCodeFallsBackToEFailThenToError) {
    FakeTexts texts;
    texts.system[eFail] = L"Unspecified error";
    EXPECT_EQ(errorTextFrom(0x7777, texts.sources()), L"Unspecified error");
    texts.system.clear();
    EXPECT_EQ(errorTextFrom(0x7777, texts.sources()), L"Error");
    EXPECT_EQ(errorTextFrom(eFail, texts.sources()), L"Error");
}

TEST(ErrorText, TextOfOnlyLineBreaksCountsAsNone) {
    FakeTexts texts;
    texts.system[9] = L"\r\n";
    texts.system[eFail] = L"Unspecified error";
    EXPECT_EQ(errorTextFrom(9, texts.sources()), L"Unspecified error");
}

struct StyleCase {
    std::uint32_t given;
    bool rightToLeft;
    std::uint32_t completed;
};

class MessageStyle : public testing::TestWithParam<StyleCase> {};

TEST_P(MessageStyle, IsCompleted) {
    EXPECT_EQ(completeMessageStyle(GetParam().given, GetParam().rightToLeft), GetParam().completed);
}

INSTANTIATE_TEST_SUITE_P(Completion, MessageStyle,
                         testing::Values(StyleCase{0x0, false, 0x30}, // OK: exclamation
                                         StyleCase{0x1, false, 0x31}, // OK/Cancel: exclamation
                                         StyleCase{0x2, false, 0x2},  // Abort/Retry/Ignore: nothing
                                         StyleCase{0x3, false, 0x23}, // Yes/No/Cancel: question
                                         StyleCase{0x4, false, 0x24}, // Yes/No: question
                                         StyleCase{0x5, false, 0x5},  // Retry/Cancel: nothing
                                         StyleCase{0x40, false, 0x40}, // an icon is kept
                                         StyleCase{0x14, false, 0x14}, // Yes/No with the error icon
                                         StyleCase{0x124, false,
                                                   0x124}, // the exit question as it stands
                                         StyleCase{0x0, true, 0x100030}, // reading order added
                                         StyleCase{0x12010, true, 0x112010})); // other bits kept

TEST(MessageStyle, UserIconLosesItsIconBits) {
    EXPECT_EQ(messageBoxStyle(0x84), 0x4u);
    EXPECT_EQ(messageBoxStyle(0x34), 0x34u);
}

TEST(SilentMessage, OnlyOkMessagesCanBeSilent) {
    EXPECT_FALSE(isSilentMessage(0x0, std::nullopt));
    EXPECT_FALSE(isSilentMessage(0x30, false));
    EXPECT_TRUE(isSilentMessage(0x30, true));
    EXPECT_TRUE(isSilentMessage(0x40, true));
    EXPECT_FALSE(isSilentMessage(0x1, true));
    EXPECT_FALSE(isSilentMessage(0x4, true));
    EXPECT_FALSE(isSilentMessage(0x35, true));
}

} // namespace
