#include "support/security_api.h"

#include "support/error.h"
#include "support/system_library.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace tw {

namespace {

// The functions of the table, in the order of their names below.
enum class api : std::size_t {
    OpenProcessToken,
    OpenThreadToken,
    GetTokenInformation,
    AllocateAndInitializeSid,
    GetLengthSid,
    IsValidSid,
    EqualSid,
    FreeSid,
    CopySid,
    LookupAccountNameW,
    CheckTokenMembership,
    LookupPrivilegeValueW,
    AdjustTokenPrivileges,
    InitializeAcl,
    GetAce,
    AddAce,
    AddAccessAllowedAce,
    AddAccessAllowedAceEx,
    GetAclInformation,
    InitializeSecurityDescriptor,
    GetSecurityDescriptorDacl,
    SetSecurityDescriptorDacl,
    GetSecurityDescriptorControl,
    SetSecurityDescriptorControl,
    GetKernelObjectSecurity,
    SetKernelObjectSecurity,
    GetSecurityDescriptorOwner,
    ConvertSidToStringSidW,
    count
};

constexpr std::array<const char*, static_cast<std::size_t>(api::count)> names = {
    "OpenProcessToken",
    "OpenThreadToken",
    "GetTokenInformation",
    "AllocateAndInitializeSid",
    "GetLengthSid",
    "IsValidSid",
    "EqualSid",
    "FreeSid",
    "CopySid",
    "LookupAccountNameW",
    "CheckTokenMembership",
    "LookupPrivilegeValueW",
    "AdjustTokenPrivileges",
    "InitializeAcl",
    "GetAce",
    "AddAce",
    "AddAccessAllowedAce",
    "AddAccessAllowedAceEx",
    "GetAclInformation",
    "InitializeSecurityDescriptor",
    "GetSecurityDescriptorDacl",
    "SetSecurityDescriptorDacl",
    "GetSecurityDescriptorControl",
    "SetSecurityDescriptorControl",
    "GetKernelObjectSecurity",
    "SetKernelObjectSecurity",
    "GetSecurityDescriptorOwner",
    "ConvertSidToStringSidW",
};

// The library for every wrapper; never freed.
HMODULE advapi32() {
    static HMODULE library = nullptr;
    if (library == nullptr) {
        library = ::GetModuleHandleW(L"advapi32.dll");
    }
    if (library == nullptr) {
        library = systemLibrary(L"advapi32.dll");
    }
    if (library == nullptr) {
        throw error(E_UNEXPECTED_CODE);
    }
    return library;
}

// The function's address, looked up once, as a pointer of its own type.
template <typename Function>
Function* function(api which) {
    static std::array<FARPROC, static_cast<std::size_t>(api::count)> table{};
    FARPROC& slot = table[static_cast<std::size_t>(which)];
    if (slot == nullptr) {
        slot = ::GetProcAddress(advapi32(), names[static_cast<std::size_t>(which)]);
        if (slot == nullptr) {
            throw error(E_NOTIMPL_CODE);
        }
    }
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(slot));
}

// Calls the function; raises the last error when it returns FALSE.
template <typename Function, typename... Arguments>
void call(api which, Arguments... arguments) {
    if (!function<Function>(which)(arguments...)) {
        throwLastErrorValue();
    }
}

// Like call, but a buffer too small only reports the size.
template <typename Function, typename... Arguments>
bool callSized(api which, Arguments... arguments) {
    if (function<Function>(which)(arguments...)) {
        return true;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        throwLastErrorValue();
    }
    return false;
}

} // namespace

void throwLastErrorValue() {
    throw error(hresultFromWin32(static_cast<std::int32_t>(::GetLastError())));
}

void traits::allocated_sid::close(PSID sid) noexcept {
    try {
        freeSid(sid);
    } catch (const error&) {
        // Nothing more can be done for the memory.
    }
}

unique_handle openProcessToken(HANDLE process, DWORD access) {
    unique_handle token;
    call<decltype(::OpenProcessToken)>(api::OpenProcessToken, process, access, token.put());
    return token;
}

unique_handle openThreadToken(HANDLE thread, DWORD access, bool openAsSelf) {
    unique_handle token;
    call<decltype(::OpenThreadToken)>(api::OpenThreadToken, thread, access,
                                      static_cast<BOOL>(openAsSelf), token.put());
    return token;
}

DWORD getTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, void* buffer, DWORD size) {
    DWORD needed = size;
    callSized<decltype(::GetTokenInformation)>(api::GetTokenInformation, token, kind, buffer, size,
                                               &needed);
    return needed;
}

unique_sid allocateAndInitializeSid(SID_IDENTIFIER_AUTHORITY authority,
                                    std::initializer_list<DWORD> subAuthorities) {
    std::array<DWORD, 8> values{};
    if (subAuthorities.size() > values.size()) {
        throw error(E_UNEXPECTED_CODE);
    }
    std::copy(subAuthorities.begin(), subAuthorities.end(), values.begin());
    unique_sid sid;
    call<decltype(::AllocateAndInitializeSid)>(api::AllocateAndInitializeSid, &authority,
                                               static_cast<BYTE>(subAuthorities.size()), values[0],
                                               values[1], values[2], values[3], values[4],
                                               values[5], values[6], values[7], sid.put());
    return sid;
}

DWORD getLengthSid(PSID sid) {
    return function<decltype(::GetLengthSid)>(api::GetLengthSid)(sid);
}

bool isValidSid(PSID sid) {
    return function<decltype(::IsValidSid)>(api::IsValidSid)(sid) != FALSE;
}

bool equalSid(PSID a, PSID b) {
    return function<decltype(::EqualSid)>(api::EqualSid)(a, b) != FALSE;
}

void freeSid(PSID sid) {
    // FreeSid answers null when it freed the SID.
    if (function<decltype(::FreeSid)>(api::FreeSid)(sid) != nullptr) {
        throwLastErrorValue();
    }
}

void copySid(DWORD length, PSID destination, PSID source) {
    call<decltype(::CopySid)>(api::CopySid, length, destination, source);
}

bool lookupAccountName(const wchar_t* system, const wchar_t* account, PSID sid, DWORD* sidSize,
                       wchar_t* domain, DWORD* domainSize, SID_NAME_USE* use) {
    return callSized<decltype(::LookupAccountNameW)>(api::LookupAccountNameW, system, account, sid,
                                                     sidSize, domain, domainSize, use);
}

bool checkTokenMembership(HANDLE token, PSID sid) {
    BOOL member = FALSE;
    call<decltype(::CheckTokenMembership)>(api::CheckTokenMembership, token, sid, &member);
    return member != FALSE;
}

LUID lookupPrivilegeValue(const wchar_t* system, const wchar_t* name) {
    LUID luid{};
    call<decltype(::LookupPrivilegeValueW)>(api::LookupPrivilegeValueW, system, name, &luid);
    return luid;
}

void adjustTokenPrivileges(HANDLE token, bool disableAll, TOKEN_PRIVILEGES* privileges, DWORD size,
                           TOKEN_PRIVILEGES* previous, DWORD* previousSize) {
    call<decltype(::AdjustTokenPrivileges)>(api::AdjustTokenPrivileges, token,
                                            static_cast<BOOL>(disableAll), privileges, size,
                                            previous, previousSize);
}

void initializeAcl(PACL acl, DWORD length, DWORD revision) {
    call<decltype(::InitializeAcl)>(api::InitializeAcl, acl, length, revision);
}

void* getAce(PACL acl, DWORD index) {
    void* ace = nullptr;
    call<decltype(::GetAce)>(api::GetAce, acl, index, &ace);
    return ace;
}

void addAce(PACL acl, DWORD revision, DWORD startIndex, void* aces, DWORD length) {
    call<decltype(::AddAce)>(api::AddAce, acl, revision, startIndex, aces, length);
}

void addAccessAllowedAce(PACL acl, DWORD revision, DWORD mask, PSID sid) {
    call<decltype(::AddAccessAllowedAce)>(api::AddAccessAllowedAce, acl, revision, mask, sid);
}

void addAccessAllowedAceEx(PACL acl, DWORD revision, DWORD flags, DWORD mask, PSID sid) {
    call<decltype(::AddAccessAllowedAceEx)>(api::AddAccessAllowedAceEx, acl, revision, flags, mask,
                                            sid);
}

void getAclInformation(PACL acl, void* information, DWORD size, ACL_INFORMATION_CLASS kind) {
    call<decltype(::GetAclInformation)>(api::GetAclInformation, acl, information, size, kind);
}

void initializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) {
    call<decltype(::InitializeSecurityDescriptor)>(api::InitializeSecurityDescriptor, descriptor,
                                                   revision);
}

DaclInformation getSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    DaclInformation dacl;
    call<decltype(::GetSecurityDescriptorDacl)>(api::GetSecurityDescriptorDacl, descriptor,
                                                &present, &dacl.acl, &defaulted);
    dacl.present = present != FALSE;
    dacl.defaulted = defaulted != FALSE;
    return dacl;
}

void setSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, bool present, PACL acl,
                               bool defaulted) {
    call<decltype(::SetSecurityDescriptorDacl)>(api::SetSecurityDescriptorDacl, descriptor,
                                                static_cast<BOOL>(present), acl,
                                                static_cast<BOOL>(defaulted));
}

SECURITY_DESCRIPTOR_CONTROL getSecurityDescriptorControl(PSECURITY_DESCRIPTOR descriptor) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    call<decltype(::GetSecurityDescriptorControl)>(api::GetSecurityDescriptorControl, descriptor,
                                                   &control, &revision);
    return control;
}

void setSecurityDescriptorControl(PSECURITY_DESCRIPTOR descriptor, SECURITY_DESCRIPTOR_CONTROL mask,
                                  SECURITY_DESCRIPTOR_CONTROL bits) {
    call<decltype(::SetSecurityDescriptorControl)>(api::SetSecurityDescriptorControl, descriptor,
                                                   mask, bits);
}

DWORD getKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION information,
                              PSECURITY_DESCRIPTOR descriptor, DWORD size) {
    DWORD needed = size;
    callSized<decltype(::GetKernelObjectSecurity)>(api::GetKernelObjectSecurity, object,
                                                   information, descriptor, size, &needed);
    return needed;
}

void setKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION information,
                             PSECURITY_DESCRIPTOR descriptor) {
    call<decltype(::SetKernelObjectSecurity)>(api::SetKernelObjectSecurity, object, information,
                                              descriptor);
}

std::wstring convertSidToStringSid(PSID sid) {
    wchar_t* text = nullptr;
    call<BOOL WINAPI(PSID, LPWSTR*)>(api::ConvertSidToStringSidW, sid, &text);
    const unique_hlocal owned(text);
    return text;
}

PSID getSecurityDescriptorOwner(PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    call<decltype(::GetSecurityDescriptorOwner)>(api::GetSecurityDescriptorOwner, descriptor,
                                                 &owner, &defaulted);
    return owner;
}

} // namespace tw
