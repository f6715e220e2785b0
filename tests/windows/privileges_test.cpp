#include "install/privileges.h"

#include "support/unique_resource.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// The attributes the process token holds for a privilege; nothing when the
// token does not hold it.
std::optional<DWORD> TokenAttributes(const wchar_t* privilege) {
    LUID luid{};
    if (!::LookupPrivilegeValueW(nullptr, privilege, &luid)) {
        return std::nullopt;
    }
    tw::unique_handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return std::nullopt;
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) {
        return std::nullopt;
    }
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID& held = privileges->Privileges[i].Luid;
        if (held.LowPart == luid.LowPart && held.HighPart == luid.HighPart) {
            return privileges->Privileges[i].Attributes;
        }
    }
    return std::nullopt;
}

class SetPrivilegeTest : public testing::TestWithParam<const wchar_t*> {};

TEST_P(SetPrivilegeTest, ChangesOnlyTheEnabledBit) {
    const auto before = TokenAttributes(GetParam());
    ASSERT_TRUE(before.has_value()) << "the test token holds this privilege";
    const DWORD others = *before & ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);

    ASSERT_TRUE(SetPrivilege(GetParam(), true));
    EXPECT_EQ(*TokenAttributes(GetParam()), others | SE_PRIVILEGE_ENABLED);
    ASSERT_TRUE(SetPrivilege(GetParam(), true)) << "enabling twice";
    EXPECT_EQ(*TokenAttributes(GetParam()), others | SE_PRIVILEGE_ENABLED);

    ASSERT_TRUE(SetPrivilege(GetParam(), false));
    EXPECT_EQ(*TokenAttributes(GetParam()), others);
    ASSERT_TRUE(SetPrivilege(GetParam(), false)) << "disabling twice";
    EXPECT_EQ(*TokenAttributes(GetParam()), others);

    // Leave the token as it was.
    SetPrivilege(GetParam(), (*before & SE_PRIVILEGE_ENABLED) != 0);
}

INSTANTIATE_TEST_SUITE_P(Privileges, SetPrivilegeTest,
                         testing::Values(L"SeBackupPrivilege", L"SeRestorePrivilege"));

TEST(SetPrivilege, FailsForAPrivilegeTheTokenLacks) {
    for (const wchar_t* privilege : {L"SeCreateTokenPrivilege", L"SeAssignPrimaryTokenPrivilege"}) {
        LUID luid{};
        ASSERT_TRUE(::LookupPrivilegeValueW(nullptr, privilege, &luid));
        ASSERT_FALSE(TokenAttributes(privilege).has_value()) << "the test token must lack it";
        EXPECT_FALSE(SetPrivilege(privilege, true));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
        EXPECT_FALSE(SetPrivilege(privilege, false));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    }
}

TEST(SetPrivilege, FailsForAnUnknownName) {
    EXPECT_FALSE(SetPrivilege(L"SeNoSuchPrivilege", true));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE));
}

} // namespace
