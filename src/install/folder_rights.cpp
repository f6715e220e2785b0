#include "install/folder_rights.h"

#include "support/error.h"
#include "support/security_api.h"
#include "support/well_known_sid.h"

namespace {

// An access entry's header and mask, which its SID follows.
constexpr DWORD aceSidOffset = sizeof(ACE_HEADER) + sizeof(ACCESS_MASK);

struct OldList {
    PACL acl = nullptr; // null: no entries
    DWORD count = 0;
    DWORD bytesInUse = sizeof(ACL);
};

OldList readOldList(PSECURITY_DESCRIPTOR old) {
    const tw::DaclInformation dacl = tw::getSecurityDescriptorDacl(old);
    OldList list;
    if (!dacl.present || dacl.acl == nullptr) {
        return list;
    }
    ACL_SIZE_INFORMATION size{};
    tw::getAclInformation(dacl.acl, &size, sizeof(size), AclSizeInformation);
    list.acl = dacl.acl;
    list.count = size.AceCount;
    list.bytesInUse = size.AclBytesInUse;
    return list;
}

bool isEntryFor(const ACE_HEADER& entry, PSID sid, DWORD sidLength) {
    if (entry.AceSize < aceSidOffset + sidLength) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const BYTE*>(&entry);
    return tw::equalSid(const_cast<BYTE*>(bytes + aceSidOffset), sid);
}

// Appends the old entries from index first on, up to the first inherited one
// when stopAtInherited is set; entries for the SID are left out. Returns the
// index where it stopped.
DWORD copyEntries(const OldList& old, DWORD first, bool stopAtInherited, PACL into, PSID sid,
                  DWORD sidLength) {
    DWORD index = first;
    for (; index < old.count; ++index) {
        auto* entry = static_cast<ACE_HEADER*>(tw::getAce(old.acl, index));
        if (stopAtInherited && (entry->AceFlags & INHERITED_ACE)) {
            break;
        }
        if (!isEntryFor(*entry, sid, sidLength)) {
            tw::addAce(into, ACL_REVISION, MAXDWORD, entry, entry->AceSize);
        }
    }
    return index;
}

} // namespace

GrantedDescriptor::GrantedDescriptor(PSECURITY_DESCRIPTOR old, PSID users, std::uint32_t accessMask,
                                     std::uint32_t entryFlags) {
    const OldList list = readOldList(old);
    const DWORD usersLength = tw::getLengthSid(users);
    acl_.assign(list.bytesInUse + aceSidOffset + usersLength, 0);
    const auto acl = reinterpret_cast<PACL>(acl_.data());
    tw::initializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION);

    const DWORD firstInherited = copyEntries(list, 0, true, acl, users, usersLength);
    if (entryFlags == 0) {
        tw::addAccessAllowedAce(acl, ACL_REVISION, accessMask, users);
    } else {
        tw::addAccessAllowedAceEx(acl, ACL_REVISION, entryFlags, accessMask, users);
    }
    copyEntries(list, firstInherited, false, acl, users, usersLength);

    tw::initializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
    tw::setSecurityDescriptorDacl(&descriptor_, true, acl, false);
    // Both bits carry over on their own: a protected list that also takes
    // part in automatic inheritance must not start inheriting from its parent.
    const SECURITY_DESCRIPTOR_CONTROL control = tw::getSecurityDescriptorControl(old);
    if (control & SE_DACL_AUTO_INHERITED) {
        constexpr SECURITY_DESCRIPTOR_CONTROL autoInherit =
            SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED;
        tw::setSecurityDescriptorControl(&descriptor_, autoInherit, autoInherit);
    }
    if (control & SE_DACL_PROTECTED) {
        tw::setSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    }
}

namespace {

// ERROR_REPARSE_POINT_ENCOUNTERED, which MinGW's headers do not name.
constexpr std::int32_t reparsePointEncountered = 4395;

// The file or folder at path itself, open to read and write its DACL: a link
// that replaced it after it was checked is opened as the link, not followed,
// and refused. Raises tw::error.
tw::unique_file openForGrant(const std::wstring& path) {
    tw::unique_file object(::CreateFileW(
        path.c_str(), READ_CONTROL | WRITE_DAC,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!object || !::GetFileInformationByHandle(object.get(), &information)) {
        tw::throwLastErrorValue();
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        throw tw::error(tw::hresultFromWin32(reparsePointEncountered));
    }
    return object;
}

} // namespace

void GrantAccess(const std::wstring& path, std::uint32_t accessMask, std::uint32_t entryFlags,
                 const AccessSaver& saving) {
    const tw::WellKnownSid users(tw::UsersSid);
    const tw::unique_file object = openForGrant(path);
    // The size first, then the descriptor; again if it grew in between.
    std::vector<BYTE> old;
    DWORD size = 0;
    do {
        old.resize(size);
        size =
            tw::getKernelObjectSecurity(object.get(), DACL_SECURITY_INFORMATION, old.data(), size);
    } while (size > old.size());
    if (saving) {
        saving({old.begin(), old.end()});
    }
    GrantedDescriptor granted(old.data(), users.get(), accessMask, entryFlags);
    tw::setKernelObjectSecurity(object.get(), DACL_SECURITY_INFORMATION, granted.get());
}

void grantSharedFolderAccess(const std::wstring& folder, const AccessSaver& saving) {
    GrantAccess(folder, sharedFolderAccess, sharedFolderEntryFlags, saving);
}

void restoreAccess(const std::wstring& path, const std::vector<std::uint8_t>& descriptor) {
    std::vector<std::uint8_t> copy = descriptor;
    tw::setKernelObjectSecurity(openForGrant(path).get(), DACL_SECURITY_INFORMATION, copy.data());
}
