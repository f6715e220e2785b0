// A user whose token does not count as an administrator is told so in the
// interface language, and the installer ends before its wizard, changing
// nothing.
#include "installation.h"

#include "support/unique_resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

// This process's token with the Administrators group made deny-only, as
// Windows gives a program started without elevation.
tw::unique_handle tokenWithoutAdministrators() {
    tw::unique_handle own;
    EXPECT_TRUE(::OpenProcessToken(
        ::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_QUERY, own.put()));
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    EXPECT_TRUE(::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                           DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                           &administrators));
    SID_AND_ATTRIBUTES disabled{administrators, 0};
    tw::unique_handle restricted;
    EXPECT_TRUE(::CreateRestrictedToken(own.get(), 0, 1, &disabled, 0, nullptr, 0, nullptr,
                                        restricted.put()));
    ::FreeSid(administrators);
    return restricted;
}

void expectRefusal(const std::wstring& caption, const std::wstring& text) {
    const MachineState before = snapshotMachine();
    const tw::unique_handle token = tokenWithoutAdministrators();
    ASSERT_TRUE(token);
    Installer installer(installerPath(), token.get());
    const ShownMessage box = waitForMessageBox(installer.id(), {});
    ASSERT_NE(box.window, nullptr);
    screenshot(box.window, L"refusal");
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    // The message is all the installer shows: no wizard behind it.
    EXPECT_EQ(topLevelWindows(installer.id()), std::vector<HWND>{box.window});
    answer(box, IDOK);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(Administrator, UserWithoutAdministratorRightsIsRefused) {
    expectRefusal(L"Installer \u2013 Kelvane 3.00g",
                  L"You should have Administrator Rights in order to proceed to Installation.");
}

TEST(Administrator, GermanUserIsRefusedInGerman) {
    storeLanguagePreference(2);
    expectRefusal(L"Installationsprogramm \u2013 Kelvane 3.00g",
                  L"F\u00fcr die Installation sind Administratorrechte erforderlich.");
}

} // namespace
