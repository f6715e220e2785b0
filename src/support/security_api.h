#pragma once
// The system's security functions, one thin wrapper per call.
//
// advapi32 is found on first use (already loaded, else loaded from the
// system folder, systemLibrary) and each function is
// looked up by name once; both are kept for the life of the process, in a
// table filled without a lock (the installer calls these from one thread at a
// time). A wrapper never returns a failure: it raises tw::error with
//  - E_UNEXPECTED when advapi32 cannot be had,
//  - E_NOTIMPL when the function is missing from it,
//  - HRESULT_FROM_WIN32 of the last error when the call reports failure.
// Calls that answer a question (IsValidSid, EqualSid) or cannot fail
// (GetLengthSid) return the answer. Calls that fill a buffer of a size the
// caller learns first report the size instead of raising when the buffer is
// too small (ERROR_INSUFFICIENT_BUFFER).

#include "support/unique_resource.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace tw {

// Raises the library's error value (error.h): HRESULT_FROM_WIN32 of the
// calling thread's last error.
[[noreturn]] void throwLastErrorValue();

// A SID allocated by the system (AllocateAndInitializeSid), freed with FreeSid.
namespace traits {
struct allocated_sid {
    using type = PSID;
    static type invalid() noexcept { return nullptr; }
    static void close(type sid) noexcept;
};
} // namespace traits
using unique_sid = unique_resource<traits::allocated_sid>;

unique_handle openProcessToken(HANDLE process, DWORD access);
// ERROR_NO_TOKEN (the thread does not impersonate) raises like any failure.
unique_handle openThreadToken(HANDLE thread, DWORD access, bool openAsSelf);
// The bytes the information needs; the buffer is filled when it is large enough.
DWORD getTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, void* buffer, DWORD size);

// Up to eight sub-authorities.
unique_sid allocateAndInitializeSid(SID_IDENTIFIER_AUTHORITY authority,
                                    std::initializer_list<DWORD> subAuthorities);
DWORD getLengthSid(PSID sid);
bool isValidSid(PSID sid);
bool equalSid(PSID a, PSID b);
// Frees a SID of allocateAndInitializeSid; unique_sid does this.
void freeSid(PSID sid);
void copySid(DWORD length, PSID destination, PSID source);
// True when the SID and domain buffers were filled; false when only their
// sizes were reported (sidSize, domainSize).
bool lookupAccountName(const wchar_t* system, const wchar_t* account, PSID sid, DWORD* sidSize,
                       wchar_t* domain, DWORD* domainSize, SID_NAME_USE* use);
// Whether the token (null: the calling thread's impersonation token or the
// process token) has the SID enabled.
bool checkTokenMembership(HANDLE token, PSID sid);

LUID lookupPrivilegeValue(const wchar_t* system, const wchar_t* name);
// Raises only when the call returns false: a call that assigns less than
// asked succeeds and leaves ERROR_NOT_ALL_ASSIGNED as the last error.
void adjustTokenPrivileges(HANDLE token, bool disableAll, TOKEN_PRIVILEGES* privileges, DWORD size,
                           TOKEN_PRIVILEGES* previous, DWORD* previousSize);

void initializeAcl(PACL acl, DWORD length, DWORD revision);
void* getAce(PACL acl, DWORD index);
void addAce(PACL acl, DWORD revision, DWORD startIndex, void* aces, DWORD length);
void addAccessAllowedAce(PACL acl, DWORD revision, DWORD mask, PSID sid);
void addAccessAllowedAceEx(PACL acl, DWORD revision, DWORD flags, DWORD mask, PSID sid);
void getAclInformation(PACL acl, void* information, DWORD size, ACL_INFORMATION_CLASS kind);

void initializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision);
// The DACL of the descriptor: present, the list (null for a null DACL) and
// whether it was defaulted.
struct DaclInformation {
    bool present = false;
    PACL acl = nullptr;
    bool defaulted = false;
};
DaclInformation getSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor);
void setSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, bool present, PACL acl,
                               bool defaulted);
SECURITY_DESCRIPTOR_CONTROL getSecurityDescriptorControl(PSECURITY_DESCRIPTOR descriptor);
void setSecurityDescriptorControl(PSECURITY_DESCRIPTOR descriptor, SECURITY_DESCRIPTOR_CONTROL mask,
                                  SECURITY_DESCRIPTOR_CONTROL bits);

// The security of the object an open handle names, read and written as it
// is (no inheritance is computed, as with the file functions by name). The
// bytes the descriptor needs; the buffer is filled when it is large enough.
DWORD getKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION information,
                              PSECURITY_DESCRIPTOR descriptor, DWORD size);
void setKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION information,
                             PSECURITY_DESCRIPTOR descriptor);

// The SID as text ("S-1-5-32-544").
std::wstring convertSidToStringSid(PSID sid);
// The descriptor's owner; null when it names none.
PSID getSecurityDescriptorOwner(PSECURITY_DESCRIPTOR descriptor);

} // namespace tw
