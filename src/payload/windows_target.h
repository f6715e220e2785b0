#pragma once
// The extraction target of the product: files written and read back with the
// Win32 API, shell folders from the shell.

#include "payload/extraction_target.h"

#include <functional>

namespace payload {

class WindowsTarget : public ExtractionTarget {
public:
    // samePath: the path equality of the shared-folder list and its grant
    // (the installation compares the paths as text, never what they name, so
    // that a link cannot turn the grant onto another folder); grantFolder:
    // gives Users full access to a shared folder, raising on failure.
    WindowsTarget(SharedFolderList::Equality samePath,
                  std::function<void(const std::wstring&)> grantFolder);

    // SHGetFolderPathW with the owner window (shell_folder_path.h).
    std::wstring shellFolder(int csidl) override;
    bool samePath(const std::wstring& a, const std::wstring& b) override;
    // File-system errors carry the Windows error code and the path.
    void prepareOutput(const std::wstring& path) override;
    // GrantSharedFolders (grant_shared_folders.h) over the file system.
    void grantSharedFolders(SharedFolderList& folders, const std::wstring& folder) override;
    // CreateFileW with FILE_SHARE_READ and CREATE_ALWAYS; failures are stream
    // failures (the installation shows them as error 7).
    std::unique_ptr<OutputFile> createOutput(const std::wstring& path) override;
    std::optional<std::uint32_t> readBackCrc(const std::wstring& path) override;
    // One second.
    void waitBeforeRetry() override;

private:
    SharedFolderList::Equality samePath_;
    std::function<void(const std::wstring&)> grantFolder_;
};

} // namespace payload
