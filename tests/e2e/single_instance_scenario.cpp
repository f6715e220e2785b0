// One installer at a time, and none while the product runs: the named mutex
// and the register of running processes that the installer shares with the
// product's programs.
#include "installation.h"

#include "support/unique_resource.h"

#include <aclapi.h>
#include <sddl.h>
#include <gtest/gtest.h>

namespace {

using namespace e2e;

constexpr wchar_t mutexName[] = L"Global\\Kelvane3.{5ead623c-dfcd-474d-8e3c-e6978cac039e}";
constexpr wchar_t semaphoreName[] = L"Global\\Kelvane3.{a3526b56-ca7c-4e16-8a26-da7758a378fd}";
constexpr wchar_t closeProduct[] = L"You should close 'Kelvane' before continuing Installation.";

// The system's text of an error, without its line end, as the installer shows it.
std::wstring systemText(DWORD code) {
    wchar_t text[512] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                     text, 512, nullptr);
    std::wstring result = text;
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r')) {
        result.pop_back();
    }
    return result;
}

// The entries of a kernel object's DACL as "SID access".
std::vector<std::wstring> accessEntries(HANDLE object) {
    PACL dacl = nullptr;
    tw::unique_hlocal descriptor;
    EXPECT_EQ(::GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr,
                                reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())),
              static_cast<DWORD>(ERROR_SUCCESS));
    std::vector<std::wstring> entries;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) ||
            ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) {
            entries.push_back(L"other entry");
            continue;
        }
        tw::unique_hlocal sid;
        ::ConvertSidToStringSidW(&ace->SidStart, reinterpret_cast<wchar_t**>(sid.put()));
        wchar_t mask[16];
        ::swprintf(mask, 16, L" 0x%06lX", ace->Mask);
        entries.push_back(static_cast<const wchar_t*>(sid.get()) + std::wstring(mask));
    }
    return entries;
}

TEST(SingleInstance, SecondInstallerEndsWithTheBusyMessageWhileTheFirstInstalls) {
    Installer first;
    HWND frame = waitForFrame(first);
    ASSERT_NE(frame, nullptr);

    Installer second;
    const ShownMessage busy = waitForMessageBox(second.id(), {});
    screenshot(busy.window, L"busy");
    EXPECT_EQ(busy.text, systemText(ERROR_BUSY));
    EXPECT_EQ(busy.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(topLevelWindows(second.id()), std::vector<HWND>{busy.window});
    answer(busy, IDOK);
    EXPECT_EQ(second.waitForExit(), std::optional<DWORD>(0));

    toProgressPage(frame);
    install(frame);
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Next' to continue.");
    // Kelvane.exe answers -10 only when it could take the mutex: the installer
    // lent it. Now the installer holds it again, and a registration is refused.
    const Destinations destinations = quickDestinations();
    expectFileAssociations(destinations);
    Installer refused(destinations.mainProgram, L" /Register /Background");
    EXPECT_EQ(refused.waitForExit(), std::optional<DWORD>(ERROR_BUSY));

    click(frame, IDOK);
    expectPage(frame, wizard::EndPage);
    click(frame, IDCANCEL);
    EXPECT_EQ(first.waitForExit(), std::optional<DWORD>(0));
}

TEST(SingleInstance, MutexAbandonedByAKilledInstallerIsTaken) {
    std::optional<Installer> killed(std::in_place);
    ASSERT_NE(waitForFrame(*killed), nullptr);
    // Another holder of the mutex keeps it in existence after the kill.
    const tw::unique_handle kept(::OpenMutexW(SYNCHRONIZE, FALSE, mutexName));
    ASSERT_TRUE(kept);
    EXPECT_EQ(::WaitForSingleObject(kept.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    killed.reset();

    Installer next;
    HWND frame = waitForFrame(next);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(::WaitForSingleObject(kept.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    exitConfirmed(next, frame);
}

TEST(SingleInstance, NamedObjectsAreOpenToEveryone) {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);

    const tw::unique_handle mutex(::OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, mutexName));
    ASSERT_TRUE(mutex);
    EXPECT_EQ(accessEntries(mutex.get()), std::vector<std::wstring>{L"S-1-1-0 0x1F0001"});
    const tw::unique_handle semaphore(::OpenSemaphoreW(
        READ_CONTROL | SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, semaphoreName));
    ASSERT_TRUE(semaphore);
    EXPECT_EQ(accessEntries(semaphore.get()), std::vector<std::wstring>{L"S-1-1-0 0x1F0003"});
    // The installer is the one process registered.
    LONG count = 0;
    ASSERT_TRUE(::ReleaseSemaphore(semaphore.get(), 1, &count));
    ::WaitForSingleObject(semaphore.get(), 0);
    EXPECT_EQ(count, 1);
    exitConfirmed(installer, frame);
}

TEST(SingleInstance, RunningProductIsToBeClosedFirst) {
    installQuickly();
    Installer product(quickDestinations().mainProgram);
    HWND window = waitForWindow(product.id(), L"Kelvane 3.00g");
    ASSERT_NE(window, nullptr);

    Installer cancelled;
    const ShownMessage asked = waitForMessageBox(cancelled.id(), {});
    screenshot(asked.window, L"close-product");
    EXPECT_EQ(asked.caption, L"Installer \u2013 Kelvane 3.00g");
    EXPECT_EQ(asked.text, closeProduct);
    EXPECT_EQ(asked.buttons, (std::vector<int>{IDRETRY, IDCANCEL}));
    answer(asked, IDCANCEL);
    EXPECT_EQ(cancelled.waitForExit(), std::optional<DWORD>(0));

    // The next box may reuse the window of the one answered, and carries the
    // frame's caption: each wait starts when the box answered is gone.
    Installer retried;
    const ShownMessage first = waitForMessageBox(retried.id(), {});
    ASSERT_TRUE(product.running());
    answer(first, IDRETRY);
    waitUntil([&] { return !::IsWindow(first.window); }, 5s);
    const ShownMessage again = waitForMessageBox(retried.id(), {});
    EXPECT_EQ(again.text, closeProduct);
    EXPECT_EQ(again.buttons, (std::vector<int>{IDRETRY, IDCANCEL}));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(product.waitForExit().has_value());
    answer(again, IDRETRY);
    waitUntil([&] { return !::IsWindow(again.window); }, 5s);
    HWND frame = waitForFrame(retried);
    ASSERT_NE(frame, nullptr);
    expectPage(frame, wizard::StartPage);
}

} // namespace
