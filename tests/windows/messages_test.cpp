#include "support/messages.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace {

std::wstring systemText(DWORD code) {
    wchar_t buffer[512] = {};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         0, buffer, 512, nullptr);
    return std::wstring(buffer, length);
}

TEST(ErrorText, SystemTextOfErrorBusyWithoutLineEnd) {
    const std::wstring raw = systemText(ERROR_BUSY);
    ASSERT_FALSE(raw.empty());
    ASSERT_EQ(raw.back(), L'\n') << "the system text ends with a line break";
    const std::wstring text = tw::errorText(ERROR_BUSY);
    EXPECT_EQ(raw.substr(0, raw.find_last_not_of(L"\r\n") + 1), text);
}

TEST(ErrorText, CustomerCodeNamingNoStringIsTheTextOfEFail) {
    EXPECT_EQ(tw::errorText(static_cast<std::int32_t>(0x2800FFF0)), tw::errorText(E_FAIL));
    EXPECT_NE(tw::errorText(E_FAIL), L"Error");
}

} // namespace
