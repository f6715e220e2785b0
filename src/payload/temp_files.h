#pragma once
// The installation's temporary folder and the temporary files written into it.

#include <string>
#include <vector>

namespace payload {

struct TempFolderName {
    std::wstring path;  // the folder to use; empty on failure
    std::wstring error; // on failure: "%08x (%s)" of the error and the failed step
};

// The user's temporary directory (tw::temporaryFolder, at most 246 characters)
// joined with tempFolderLeaf(). The folder is not created.
TempFolderName makeTempFolderName();

// The files of kind TemporaryFile written during one installation run. When
// the run ends (cleanUp, or at the latest when the list ends) every listed
// file is deleted, then the folder if it is empty; failures are ignored.
class TemporaryFiles {
public:
    explicit TemporaryFiles(std::wstring folder);
    ~TemporaryFiles();
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

    void add(const std::wstring& path);
    void cleanUp() noexcept;

    const std::wstring& folder() const noexcept { return folder_; }
    const std::vector<std::wstring>& files() const noexcept { return files_; }

private:
    std::wstring folder_;
    std::vector<std::wstring> files_;
};

} // namespace payload
