#include "support/well_known_sid.h"

#include "support/error.h"

#include <lmcons.h>

#include <string>

namespace tw {

namespace {

constexpr SID_IDENTIFIER_AUTHORITY worldAuthority = SECURITY_WORLD_SID_AUTHORITY;
constexpr SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;

std::wstring currentUserName() {
    wchar_t name[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (!::GetUserNameW(name, &size)) {
        throwLastErrorValue();
    }
    return name;
}

// The SID of the current user's account, looked up by name.
std::vector<BYTE> accountSid() {
    const std::wstring name = currentUserName();
    DWORD sidSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use = SidTypeUnknown;
    lookupAccountName(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    std::vector<BYTE> sid(sidSize);
    std::wstring domain(domainSize, L'\0');
    lookupAccountName(nullptr, name.c_str(), sid.data(), &sidSize, domain.data(), &domainSize,
                      &use);
    if (use != SidTypeUser) {
        throw error(E_UNEXPECTED_CODE);
    }
    return sid;
}

// The token of the thread when it impersonates, else that of the process.
unique_handle currentToken() {
    try {
        return openThreadToken(::GetCurrentThread(), TOKEN_QUERY, true);
    } catch (const error& failure) {
        if (failure.code() != hresultFromWin32(ERROR_NO_TOKEN)) {
            throw;
        }
    }
    return openProcessToken(::GetCurrentProcess(), TOKEN_QUERY);
}

std::vector<BYTE> tokenUserSid() {
    const unique_handle token = currentToken();
    const DWORD size = getTokenInformation(token.get(), TokenUser, nullptr, 0);
    std::vector<BYTE> information(size);
    getTokenInformation(token.get(), TokenUser, information.data(), size);
    const PSID user = reinterpret_cast<const TOKEN_USER*>(information.data())->User.Sid;
    std::vector<BYTE> sid(getLengthSid(user));
    copySid(static_cast<DWORD>(sid.size()), sid.data(), user);
    return sid;
}

} // namespace

WellKnownSid::WellKnownSid(int selector) {
    switch (selector) {
    case AdministratorsSid:
        allocated_ = allocateAndInitializeSid(
            ntAuthority, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS});
        break;
    case UsersSid:
        allocated_ = allocateAndInitializeSid(
            ntAuthority, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS});
        break;
    case AuthenticatedUsersSid:
        allocated_ = allocateAndInitializeSid(ntAuthority, {SECURITY_AUTHENTICATED_USER_RID});
        break;
    case CurrentAccountSid:
        copied_ = accountSid();
        break;
    case TokenUserSid:
        copied_ = tokenUserSid();
        break;
    default:
        allocated_ = allocateAndInitializeSid(worldAuthority, {SECURITY_WORLD_RID});
        break;
    }
}

} // namespace tw
