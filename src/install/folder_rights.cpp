#include "install/folder_rights.h"

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

void GrantAccess(const std::wstring& path, std::uint32_t accessMask, std::uint32_t entryFlags) {
    const tw::WellKnownSid users(tw::UsersSid);
    // The size first, then the descriptor; again if it grew in between.
    std::vector<BYTE> old;
    DWORD size = 0;
    do {
        old.resize(size);
        size = tw::getFileSecurity(path.c_str(), DACL_SECURITY_INFORMATION, old.data(), size);
    } while (size > old.size());
    GrantedDescriptor granted(old.data(), users.get(), accessMask, entryFlags);
    tw::setFileSecurity(path.c_str(), DACL_SECURITY_INFORMATION, granted.get());
}

void grantSharedFolderAccess(const std::wstring& folder) {
    GrantAccess(folder, sharedFolderAccess, sharedFolderEntryFlags);
}
