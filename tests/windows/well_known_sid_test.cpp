#include "support/well_known_sid.h"

#include "support/error.h"
#include "support/unique_resource.h"

#include <sddl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring sidText(PSID sid) {
    tw::unique_hlocal text;
    if (!::ConvertSidToStringSidW(sid, reinterpret_cast<wchar_t**>(text.put()))) {
        return L"(no SID)";
    }
    return static_cast<const wchar_t*>(text.get());
}

// The user of the process token, asked of the system directly.
std::wstring processUser() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return L"(no token)";
    }
    const tw::unique_handle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (!::GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
        return L"(no user)";
    }
    return sidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

struct SelectorCase {
    int selector;
    std::wstring sid; // empty: the user of the process token
};

class WellKnownSidTest : public testing::TestWithParam<SelectorCase> {};

TEST_P(WellKnownSidTest, BuildsTheSidOfItsSelector) {
    const tw::WellKnownSid sid(GetParam().selector);
    ASSERT_TRUE(tw::isValidSid(sid.get()));
    const std::wstring expected = GetParam().sid.empty() ? processUser() : GetParam().sid;
    EXPECT_EQ(sidText(sid.get()), expected);
    EXPECT_EQ(sid.length(), ::GetLengthSid(sid.get()));
}

INSTANTIATE_TEST_SUITE_P(Selectors, WellKnownSidTest,
                         testing::Values(SelectorCase{0, L"S-1-1-0"},
                                         SelectorCase{1, L"S-1-5-32-544"},
                                         SelectorCase{2, L"S-1-5-32-545"},
                                         SelectorCase{3, L"S-1-5-11"}, SelectorCase{4, L""},
                                         SelectorCase{5, L""}, SelectorCase{6, L"S-1-1-0"},
                                         SelectorCase{-1, L"S-1-1-0"}));

// The wrappers raise HRESULT_FROM_WIN32 of the system's error.
TEST(SecurityWrappers, FailuresRaiseTheirErrorValue) {
    const auto codeOf = [](auto&& call) -> std::int32_t {
        try {
            call();
        } catch (const tw::error& failure) {
            return failure.code();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([] { tw::lookupPrivilegeValue(nullptr, L"SeNoSuchPrivilege"); }),
              static_cast<std::int32_t>(0x80070521));
    EXPECT_EQ(
        codeOf([] { tw::getKernelObjectSecurity(nullptr, DACL_SECURITY_INFORMATION, nullptr, 0); }),
        static_cast<std::int32_t>(0x80070006));
    EXPECT_EQ(codeOf([] { tw::openThreadToken(::GetCurrentThread(), TOKEN_QUERY, true); }),
              static_cast<std::int32_t>(0x800703F0));
}

} // namespace
