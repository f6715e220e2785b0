#include "payload/windows_target.h"

#include "payload/crc32.h"
#include "payload/file_error.h"
#include "payload/grant_shared_folders.h"
#include "support/error.h"
#include "support/missing_folders.h"
#include "support/path_text.h"
#include "support/shell_folder_path.h"
#include "support/unique_resource.h"

#include <windows.h>

#include <ios>
#include <string>
#include <system_error>

namespace payload {

namespace {

[[noreturn]] void raiseFileSystemError(const char* what, const std::wstring& path,
                                       DWORD error = ::GetLastError()) {
    throw FileError(std::error_code(static_cast<int>(error), std::system_category()), path, what);
}

// A file that cannot be written fails as a stream does: the extraction shows
// a stream failure as its "unexpected" code 7, not as the Windows error,
// which only the text keeps.
[[noreturn]] void raiseStreamFailure(const char* what) {
    const DWORD error = ::GetLastError();
    throw std::ios_base::failure(
        std::string(what) + " (Windows error " + std::to_string(error) + ")", std::io_errc::stream);
}

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether the path names an existing folder; a path or a folder on its way
// that does not exist is no folder, any other failure raises.
bool isFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        return false;
    }
    raiseFileSystemError("cannot read the folder's attributes", path, error);
}

// Clears the read-only attribute of the file a path names, following a
// symbolic link to its target.
void clearReadOnly(const std::wstring& path) {
    tw::unique_file file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                       nullptr));
    if (!file) {
        raiseFileSystemError("cannot open the file's attributes", path);
    }
    FILE_BASIC_INFO info = {};
    if (!::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info)) {
        raiseFileSystemError("cannot read the file's attributes", path);
    }
    if ((info.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0) {
        return;
    }
    info.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (info.FileAttributes == 0) {
        info.FileAttributes = FILE_ATTRIBUTE_NORMAL; // 0 would mean "unchanged"
    }
    if (!::SetFileInformationByHandle(file.get(), FileBasicInfo, &info, sizeof info)) {
        raiseFileSystemError("cannot clear the read-only attribute", path);
    }
}

// Creates the folder and every missing folder above it, from the top down.
void createFolders(const std::wstring& folder) {
    for (const std::wstring& missing : tw::missingFolders(folder)) {
        if (::CreateDirectoryW(missing.c_str(), nullptr)) {
            continue;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            raiseFileSystemError("cannot create the folder", missing);
        }
        // What is there already is a folder made meanwhile, or a file in the way.
        const DWORD attributes = ::GetFileAttributesW(missing.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            raiseFileSystemError("cannot create a folder below a file", missing, ERROR_DIRECTORY);
        }
    }
}

class WindowsOutputFile final : public OutputFile {
public:
    explicit WindowsOutputFile(const std::wstring& path)
        : file_(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (!file_) {
            raiseStreamFailure("cannot open the file for writing");
        }
    }

    void write(const char* bytes, std::size_t size) override {
        while (size > 0) {
            const DWORD part = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(file_.get(), bytes, part, &written, nullptr) || written == 0) {
                raiseStreamFailure("cannot write the file");
            }
            bytes += written;
            size -= written;
        }
    }

    void close() override {
        if (!::CloseHandle(file_.release())) {
            raiseStreamFailure("cannot close the file");
        }
    }

private:
    tw::unique_file file_;
};

} // namespace

std::wstring WindowsTarget::shellFolder(int csidl) {
    return tw::shellFolderPathWithOwner(csidl);
}

WindowsTarget::WindowsTarget(SharedFolderList::Equality samePath,
                             std::function<void(const std::wstring&)> grantFolder)
    : samePath_(std::move(samePath))
    , grantFolder_(std::move(grantFolder)) {}

bool WindowsTarget::samePath(const std::wstring& a, const std::wstring& b) {
    return samePath_(a, b);
}

void WindowsTarget::prepareOutput(const std::wstring& path) {
    if (exists(path)) {
        clearReadOnly(path);
        return;
    }
    const std::wstring folder = tw::parentPath(path);
    if (!folder.empty()) {
        createFolders(folder);
    }
}

void WindowsTarget::grantSharedFolders(SharedFolderList& folders, const std::wstring& folder) {
    GrantSharedFolders(folders, folder, {isFolder, grantFolder_});
}

std::unique_ptr<OutputFile> WindowsTarget::createOutput(const std::wstring& path) {
    return std::make_unique<WindowsOutputFile>(path);
}

std::optional<std::uint32_t> WindowsTarget::readBackCrc(const std::wstring& path) {
    tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            return std::nullopt;
        }
        tw::throwLastError("cannot read the file back");
    }
    char block[4096];
    std::uint32_t crc = 0;
    DWORD got = 0;
    while (true) {
        if (!::ReadFile(file.get(), block, sizeof block, &got, nullptr)) {
            tw::throwLastError("cannot read the file back");
        }
        if (got == 0) {
            return crc;
        }
        crc = crc32(block, got, crc);
    }
}

void WindowsTarget::waitBeforeRetry() {
    ::Sleep(1000);
}

} // namespace payload
