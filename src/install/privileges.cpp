#include "install/privileges.h"

#include "support/error.h"
#include "support/security_api.h"
#include "support/well_known_sid.h"

#include <system_error>

bool IsAdministrator() {
    try {
        const tw::WellKnownSid administrators(tw::AdministratorsSid);
        return tw::checkTokenMembership(nullptr, administrators.get());
    } catch (const tw::error&) {
        // A membership that cannot be asked is no membership.
        return false;
    }
}

namespace {

// AdjustTokenPrivileges succeeds even when it assigns nothing; only the last
// error then tells (ERROR_NOT_ALL_ASSIGNED), and that counts as a failure.
void adjust(HANDLE token, TOKEN_PRIVILEGES& privileges, TOKEN_PRIVILEGES* previous,
            DWORD* previousSize) {
    ::SetLastError(ERROR_SUCCESS);
    tw::adjustTokenPrivileges(token, false, &privileges, sizeof(privileges), previous,
                              previousSize);
    if (::GetLastError() != ERROR_SUCCESS) {
        tw::throwLastError("cannot adjust the privilege");
    }
}

// The caller reads the system's error as the last error; throwing the
// exception and closing the token may have overwritten it.
bool failed(tw::unique_handle& token, DWORD error) {
    token.reset();
    ::SetLastError(error);
    return false;
}

} // namespace

bool SetPrivilege(const wchar_t* privilege, bool enable) {
    tw::unique_handle token;
    try {
        token = tw::openProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
        const LUID luid = tw::lookupPrivilegeValue(nullptr, privilege);
        // First call: learn the privilege's attributes by setting them to 0.
        // The previous state lists only what changed, so it starts zeroed.
        TOKEN_PRIVILEGES probe{};
        probe.PrivilegeCount = 1;
        probe.Privileges[0].Luid = luid;
        probe.Privileges[0].Attributes = 0;
        TOKEN_PRIVILEGES previous{};
        DWORD previousSize = sizeof(previous);
        adjust(token.get(), probe, &previous, &previousSize);
        // Second call: the previous attributes with only the enabled bit changed.
        previous.PrivilegeCount = 1;
        previous.Privileges[0].Luid = luid;
        if (enable) {
            previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
        } else {
            previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
        }
        adjust(token.get(), previous, nullptr, nullptr);
        return true;
    } catch (const tw::error& failure) {
        // The security wrappers raise HRESULT_FROM_WIN32 of the system's error.
        const auto code = static_cast<DWORD>(failure.code());
        return failed(token, HRESULT_FACILITY(code) == FACILITY_WIN32 ? HRESULT_CODE(code) : code);
    } catch (const std::system_error& failure) {
        return failed(token, static_cast<DWORD>(failure.code().value()));
    }
}
