#include "install/journal_store.h"

#include "install/journal_executor.h"
#include "support/error.h"
#include "support/product_code.h"
#include "support/security_api.h"
#include "support/unique_resource.h"
#include "support/well_known_sid.h"
#include "support/whole_file.h"

#include <windows.h>

#include <vector>

namespace journal {

namespace {

// A journal larger than this is no journal of ours.
constexpr LONGLONG largestJournal = 16 * 1024 * 1024;
// What lets an entry's holder change the folder or what it holds.
constexpr DWORD changingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                 FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC |
                                 WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
// How often a journal held open by another program is tried again, 10 ms apart.
constexpr int heldAttempts = 100;
constexpr DWORD aceSidOffset = sizeof(ACE_HEADER) + sizeof(ACCESS_MASK);

tw::unique_sid systemSid() {
    return tw::allocateAndInitializeSid(SECURITY_NT_AUTHORITY, {SECURITY_LOCAL_SYSTEM_RID});
}

// The owner the process token gives what this process creates.
std::vector<BYTE> tokenOwner() {
    const tw::unique_handle token = tw::openProcessToken(::GetCurrentProcess(), TOKEN_QUERY);
    std::vector<BYTE> owner;
    DWORD size = 0;
    do {
        owner.resize(size);
        size = tw::getTokenInformation(token.get(), TokenOwner, owner.data(), size);
    } while (size > owner.size());
    return owner;
}

// The security descriptor of an open object: its owner and DACL.
std::vector<BYTE> securityOf(HANDLE object) {
    std::vector<BYTE> descriptor;
    DWORD size = 0;
    do {
        descriptor.resize(size);
        size = tw::getKernelObjectSecurity(object,
                                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                           descriptor.data(), size);
    } while (size > descriptor.size());
    return descriptor;
}

bool isTrustedSid(PSID sid, const std::vector<PSID>& trusted) {
    for (PSID candidate : trusted) {
        if (tw::equalSid(sid, candidate)) {
            return true;
        }
    }
    return false;
}

// Every entry that allows a change names a trusted SID; a null DACL allows
// everything to everyone.
bool onlyTrustedMayChange(PSECURITY_DESCRIPTOR descriptor, const std::vector<PSID>& trusted) {
    const tw::DaclInformation dacl = tw::getSecurityDescriptorDacl(descriptor);
    if (!dacl.present || dacl.acl == nullptr) {
        return false;
    }
    ACL_SIZE_INFORMATION size{};
    tw::getAclInformation(dacl.acl, &size, sizeof(size), AclSizeInformation);
    for (DWORD index = 0; index < size.AceCount; ++index) {
        auto* entry = static_cast<ACE_HEADER*>(tw::getAce(dacl.acl, index));
        if (entry->AceType == ACCESS_DENIED_ACE_TYPE) {
            continue;
        }
        if (entry->AceType != ACCESS_ALLOWED_ACE_TYPE || entry->AceSize <= aceSidOffset) {
            return false;
        }
        const auto mask = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(entry)->Mask;
        if ((mask & changingRights) != 0 &&
            !isTrustedSid(reinterpret_cast<BYTE*>(entry) + aceSidOffset, trusted)) {
            return false;
        }
    }
    return true;
}

// Runs the action on the journal file until it succeeds, again and again
// while another program (a virus scanner, an administrator reading it)
// holds the file for a moment. False, with the last error, when it still
// fails.
template <typename Action>
bool whenFree(Action action) {
    for (int attempt = 0;; ++attempt) {
        if (action()) {
            return true;
        }
        const DWORD error = ::GetLastError();
        if (attempt == heldAttempts ||
            (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
            ::SetLastError(error);
            return false;
        }
        ::Sleep(10);
    }
}

} // namespace

std::wstring defaultFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::wstring folder(windows, length);
    if (!folder.ends_with(L'\\')) {
        folder += L'\\';
    }
    return folder + tw::productKeyName() + L" Setup";
}

std::wstring filePath(const std::wstring& folder) {
    return folder + L"\\" + journalFileName;
}

void prepareFolder(const std::wstring& folder) {
    const tw::unique_sid system = systemSid();
    const tw::WellKnownSid administrators(tw::AdministratorsSid);
    const DWORD entryBytes = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
    std::vector<BYTE> acl(sizeof(ACL) + 2 * entryBytes + tw::getLengthSid(system.get()) +
                          administrators.length());
    const auto list = reinterpret_cast<PACL>(acl.data());
    tw::initializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION);
    constexpr DWORD inherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    tw::addAccessAllowedAceEx(list, ACL_REVISION, inherited, FILE_ALL_ACCESS, system.get());
    tw::addAccessAllowedAceEx(list, ACL_REVISION, inherited, FILE_ALL_ACCESS, administrators.get());
    SECURITY_DESCRIPTOR descriptor{};
    tw::initializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    tw::setSecurityDescriptorDacl(&descriptor, true, list, false);
    tw::setSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
    if (::CreateDirectoryW(folder.c_str(), &attributes)) {
        return;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
        tw::throwLastError("cannot create the journal's folder");
    }
    if (!isTrustedFolder(folder)) {
        tw::throwWin32Error(ERROR_ACCESS_DENIED);
    }
}

bool isTrustedFolder(const std::wstring& folder) {
    const tw::unique_file opened(::CreateFileW(
        folder.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
        nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!opened || !::GetFileInformationByHandle(opened.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    try {
        const tw::unique_sid system = systemSid();
        const tw::WellKnownSid administrators(tw::AdministratorsSid);
        const tw::WellKnownSid user(tw::TokenUserSid);
        std::vector<BYTE> owner = tokenOwner();
        const std::vector<PSID> trusted = {system.get(), administrators.get(), user.get(),
                                           reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner};
        std::vector<BYTE> descriptor = securityOf(opened.get());
        const PSID folderOwner = tw::getSecurityDescriptorOwner(descriptor.data());
        return folderOwner != nullptr && isTrustedSid(folderOwner, trusted) &&
               onlyTrustedMayChange(descriptor.data(), trusted);
    } catch (const tw::error&) {
        return false;
    }
}

void storeJournal(const std::wstring& folder, const JournalImage& image) {
    const std::wstring path = filePath(folder);
    if (!writeNewFile(path, encodeJournal(image), FILE_ATTRIBUTE_NORMAL) ||
        !whenFree([&] { return replaceWithNewFile(path); })) {
        tw::throwLastError("cannot store the journal");
    }
}

StoredJournal loadJournal(const std::wstring& folder) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return {};
    }
    if (!isTrustedFolder(folder)) {
        return {StoredJournal::State::Unreadable, {}};
    }
    const std::wstring path = filePath(folder);
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {};
    }
    const auto bytes = tw::readWholeFile(path, largestJournal, FILE_FLAG_OPEN_REPARSE_POINT);
    std::optional<JournalImage> image = bytes ? decodeJournal(*bytes) : std::nullopt;
    if (!image) {
        return {StoredJournal::State::Unreadable, {}};
    }
    return {StoredJournal::State::Read, std::move(*image)};
}

bool removeJournal(const std::wstring& folder) {
    const std::wstring path = filePath(folder);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!whenFree([&] {
            return ::DeleteFileW(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
        })) {
        return false;
    }
    ::DeleteFileW(newFileOf(path).c_str());
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = folder + L"\\tw*.tmp";
    const tw::unique_find search(::FindFirstFileW(pattern.c_str(), &found));
    if (search) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                deleteBackupFile(folder + L"\\" + found.cFileName);
            }
        } while (::FindNextFileW(search.get(), &found));
    }
    ::RemoveDirectoryW(folder.c_str());
    return true;
}

} // namespace journal
