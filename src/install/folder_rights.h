#pragma once
// Access rights that the installation gives the built-in Users group on the
// shared data folders and data files: one access-allowed entry for Users in
// the object's DACL, in place of every earlier entry of that group.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Full access, inherited by files and folders inside: what every user gets on
// a shared folder.
constexpr std::uint32_t sharedFolderAccess = 0x001F01FF;
constexpr std::uint32_t sharedFolderEntryFlags = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
// Read, write and delete, without execute: what every user gets on a data file.
constexpr std::uint32_t dataFileAccess = 0x0013019F;

// The absolute descriptor that grants: the old DACL's explicit entries, the
// new Users entry, then the old inherited entries, leaving out every old entry
// for Users; the old DACL's inheritance control bits carried over. An old
// descriptor without a DACL, or with a null one, counts as an empty list.
// Raises tw::error when a step fails.
class GrantedDescriptor {
public:
    GrantedDescriptor(PSECURITY_DESCRIPTOR old, PSID users, std::uint32_t accessMask,
                      std::uint32_t entryFlags);
    GrantedDescriptor(const GrantedDescriptor&) = delete;
    GrantedDescriptor& operator=(const GrantedDescriptor&) = delete;

    PSECURITY_DESCRIPTOR get() noexcept { return &descriptor_; }

private:
    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
};

// What is told the DACL as read (a self-relative security descriptor) before
// it is changed, so that it can be put back; it may raise to stop the change.
using AccessSaver = std::function<void(const std::vector<std::uint8_t>& descriptor)>;

// Gives the Users group the access on the file or folder, replacing earlier
// entries of that group. The DACL is read and written through one handle
// that opens path itself, never what a link there points to; a path that is
// a link (a reparse point) is refused. Raises tw::error when the object is a
// link or its security cannot be read or written.
void GrantAccess(const std::wstring& path, std::uint32_t accessMask, std::uint32_t entryFlags,
                 const AccessSaver& saving = {});

// GrantAccess of full access inherited by everything inside the folder.
void grantSharedFolderAccess(const std::wstring& folder, const AccessSaver& saving = {});

// Puts back the DACL that GrantAccess told saving, through the same kind of
// handle, never through a link. Raises tw::error as GrantAccess does.
void restoreAccess(const std::wstring& path, const std::vector<std::uint8_t>& descriptor);
