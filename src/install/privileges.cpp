#include "install/privileges.h"

#include "support/unique_resource.h"

// STAND-IN until the security wrappers arrive: an administrator, as on the
// machines the installer is started elevated on.
bool IsAdministrator() {
    return true;
}

namespace {

// AdjustTokenPrivileges succeeds even when it assigns nothing; only the last
// error then tells (ERROR_NOT_ALL_ASSIGNED).
bool Adjust(HANDLE token, TOKEN_PRIVILEGES& privileges, TOKEN_PRIVILEGES* previous,
            DWORD* previousSize) {
    ::SetLastError(ERROR_SUCCESS);
    const BOOL adjusted = ::AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges),
                                                  previous, previousSize);
    return adjusted && ::GetLastError() == ERROR_SUCCESS;
}

} // namespace

// advapi32 is called directly here until the wrapper family that loads it at
// run time replaces these calls.
bool SetPrivilege(const wchar_t* privilege, bool enable) {
    tw::unique_handle token;
    // Closes the token but keeps the error that made the call fail.
    const auto fail = [&token] {
        const DWORD error = ::GetLastError();
        token.reset();
        ::SetLastError(error);
        return false;
    };
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                            token.put())) {
        return fail();
    }
    LUID luid{};
    if (!::LookupPrivilegeValueW(nullptr, privilege, &luid)) {
        return fail();
    }
    // First call: learn the privilege's attributes by setting them to 0. The
    // previous state lists only what changed, so it starts zeroed.
    TOKEN_PRIVILEGES probe{};
    probe.PrivilegeCount = 1;
    probe.Privileges[0].Luid = luid;
    probe.Privileges[0].Attributes = 0;
    TOKEN_PRIVILEGES previous{};
    DWORD previousSize = sizeof(previous);
    if (!Adjust(token.get(), probe, &previous, &previousSize)) {
        return fail();
    }
    // Second call: the previous attributes with only the enabled bit changed.
    previous.PrivilegeCount = 1;
    previous.Privileges[0].Luid = luid;
    if (enable) {
        previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
    } else {
        previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
    }
    if (!Adjust(token.get(), previous, nullptr, nullptr)) {
        return fail();
    }
    return true;
}
