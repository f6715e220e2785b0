#include "uninstall/self_removal.h"

#include "uninstall/removal.h"
#include "uninstall/texts.h"

#include "payload/temp_folder.h"
#include "support/hex_digits.h"
#include "support/path_text.h"
#include "support/program_path.h"
#include "support/temporary_folder.h"
#include "support/unique_resource.h"
#include "support/well_known_sid.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <cwchar>
#include <exception>
#include <optional>

namespace uninstall {

namespace {

// How long the copy waits for the uninstaller to end.
constexpr DWORD uninstallerEndWait = 60'000;
// Read and execute: what the user may do in the copy's folder.
constexpr DWORD readAndExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
constexpr DWORD inheritedByAll = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

std::wstring logPathBeside(const std::wstring& uninstaller) {
    return uninstaller.substr(0, uninstaller.size() - tw::fileName(uninstaller).size()) +
           logFileName;
}

// Deletes a file, even a read-only one, trying again for a while: the system
// may still hold the image of a process that has just ended. False when it
// is still there.
bool deleteEndedProgramFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (::DeleteFileW(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) {
            return true;
        }
        ::Sleep(100);
    }
    return false;
}

void deleteAtStartUp(const std::wstring& path) {
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The DACL of the copy's folder, inherited by the copy: SYSTEM and
// Administrators full control, the user read and execute; protected, so that
// it takes nothing from the temporary folder, which the user may change.
class CopyFolderSecurity {
public:
    CopyFolderSecurity()
        : system_(tw::allocateAndInitializeSid(ntAuthority(), {SECURITY_LOCAL_SYSTEM_RID}))
        , administrators_(tw::AdministratorsSid)
        , user_(tw::TokenUserSid) {
        const struct {
            PSID sid;
            DWORD access;
        } entries[] = {{system_.get(), FILE_ALL_ACCESS},
                       {administrators_.get(), FILE_ALL_ACCESS},
                       {user_.get(), readAndExecute}};
        DWORD size = sizeof(ACL);
        for (const auto& entry : entries) {
            size += sizeof(ACCESS_ALLOWED_ACE) + tw::getLengthSid(entry.sid);
        }
        acl_.assign(size, 0);
        const auto acl = reinterpret_cast<PACL>(acl_.data());
        tw::initializeAcl(acl, size, ACL_REVISION);
        for (const auto& entry : entries) {
            tw::addAccessAllowedAceEx(acl, ACL_REVISION, inheritedByAll, entry.access, entry.sid);
        }
        tw::initializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
        tw::setSecurityDescriptorDacl(&descriptor_, true, acl, false);
        tw::setSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    }

    PSECURITY_DESCRIPTOR get() noexcept { return &descriptor_; }

private:
    static SID_IDENTIFIER_AUTHORITY ntAuthority() noexcept { return SECURITY_NT_AUTHORITY; }

    tw::unique_sid system_;
    tw::WellKnownSid administrators_;
    tw::WellKnownSid user_;
    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
};

// Creates the folder with the descriptor and holds it open, in one step: it
// is shared for reading and writing, not for deleting, so that until the
// handle is closed nobody can rename it and put another folder in its place.
// Null when it cannot be created (a file of that name exists, or the system
// refuses).
tw::unique_handle createOwnFolder(const std::wstring& path, PSECURITY_DESCRIPTOR descriptor) {
    using NtCreateFileFunction = decltype(&::NtCreateFile);
    const auto create = reinterpret_cast<NtCreateFileFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtCreateFile")));
    std::wstring name = L"\\??\\" + path;
    UNICODE_STRING objectName{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                              static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.data()};
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.ObjectName = &objectName;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    attributes.SecurityDescriptor = descriptor;
    IO_STATUS_BLOCK status{};
    HANDLE folder = nullptr;
    if (create == nullptr || name.size() * sizeof(wchar_t) > 0xFFFF ||
        create(&folder, FILE_LIST_DIRECTORY | SYNCHRONIZE, &attributes, &status, nullptr,
               FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
               FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT,
               nullptr, 0) < 0) {
        return {};
    }
    return tw::unique_handle(folder);
}

// The copy of the uninstaller, in its own folder of the temporary folder,
// which stays held while it exists.
struct Copy {
    std::wstring folder;
    std::wstring program;
    tw::unique_handle heldFolder;
};

// Copies the uninstaller into a new folder of its own with a random name;
// nothing when no such copy could be made (what was made is removed again).
std::optional<Copy> copyIntoOwnFolder(const std::wstring& uninstaller) {
    const std::wstring temporary = tw::temporaryFolder();
    if (temporary.empty()) {
        return std::nullopt;
    }
    Copy copy;
    try {
        CopyFolderSecurity security;
        copy.folder = temporary + payload::randomFolderLeaf(L"kvu");
        copy.heldFolder = createOwnFolder(copy.folder, security.get());
    } catch (const std::exception&) {
        return std::nullopt; // a SID or the list could not be built
    }
    if (!copy.heldFolder) {
        return std::nullopt;
    }
    copy.program = copy.folder + L"\\" + std::wstring(tw::fileName(uninstaller));
    if (!::CopyFileW(uninstaller.c_str(), copy.program.c_str(), TRUE)) {
        ::DeleteFileW(copy.program.c_str());
        copy.heldFolder.reset();
        ::RemoveDirectoryW(copy.folder.c_str());
        return std::nullopt;
    }
    return copy;
}

// An argument of a command line: in double quotes, which the texts and paths
// passed here never hold.
std::wstring quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// Starts the copy with an inheritable handle of this process to wait on, in
// hexadecimal.
bool startCopy(const Copy& copy, const std::wstring& uninstaller, const LeftoverTexts& texts) {
    HANDLE self = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                           &self, SYNCHRONIZE, TRUE, 0)) {
        return false;
    }
    const tw::unique_handle ownProcess(self);
    std::wstring commandLine = quoted(copy.program) + L" " + finishArgument + L" " +
                               tw::lowerHex(reinterpret_cast<std::uintptr_t>(self)) + L" " +
                               quoted(uninstaller) + L" " + quoted(texts.caption) + L" " +
                               quoted(texts.heading);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(copy.program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                          nullptr, copy.folder.c_str(), &startup, &started)) {
        return false;
    }
    const tw::unique_handle thread(started.hThread);
    const tw::unique_handle process(started.hProcess);
    return true;
}

// The uninstaller's folders that the log records and that still exist,
// innermost first.
std::vector<std::wstring> remainingFolders(const LogContents& log) {
    std::vector<std::wstring> folders;
    for (const std::wstring& folder : foldersToRemove(log)) {
        if (::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
            folders.push_back(folder);
        }
    }
    return folders;
}

} // namespace

std::vector<std::wstring> handOverSelfRemoval(const std::wstring& uninstaller,
                                              const LogContents& log, const LeftoverTexts& texts) {
    if (std::optional<Copy> copy = copyIntoOwnFolder(uninstaller)) {
        if (startCopy(*copy, uninstaller, texts)) {
            return {};
        }
        ::DeleteFileW(copy->program.c_str());
        copy->heldFolder.reset();
        ::RemoveDirectoryW(copy->folder.c_str());
    }
    std::vector<std::wstring> left{uninstaller, logPathBeside(uninstaller)};
    const std::vector<std::wstring> folders = remainingFolders(log);
    left.insert(left.end(), folders.begin(), folders.end());
    return left;
}

int finishSelfRemoval(const std::vector<std::wstring>& arguments) {
    if (arguments.size() != 4) {
        return ERROR_INVALID_PARAMETER;
    }
    const tw::unique_handle uninstallerProcess(reinterpret_cast<HANDLE>(
        static_cast<std::uintptr_t>(std::wcstoull(arguments[0].c_str(), nullptr, 16))));
    ::WaitForSingleObject(uninstallerProcess.get(), uninstallerEndWait);
    const std::wstring& uninstaller = arguments[1];
    const std::wstring log = logPathBeside(uninstaller);
    const std::optional<LogContents> contents = readInstalledLog(log);
    const bool deleted = deleteEndedProgramFile(uninstaller);
    ::SetFileAttributesW(log.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(log.c_str());
    if (contents) {
        removeEmptyFolders(*contents);
        // The system's list starts the uninstaller again until its file is gone.
        if (deleted) {
            removeUninstallKeyOf(*contents);
        }
    }
    const std::wstring own = tw::programPath();
    deleteAtStartUp(own);
    deleteAtStartUp(tw::parentPath(own));
    if (!deleted) {
        std::vector<std::wstring> left{uninstaller};
        if (contents) {
            const std::vector<std::wstring> folders = remainingFolders(*contents);
            left.insert(left.end(), folders.begin(), folders.end());
        }
        showText(arguments[2], listText(arguments[3], left), MB_OK | MB_ICONEXCLAMATION);
    }
    return 0;
}

} // namespace uninstall
