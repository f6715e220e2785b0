#include "payload/temp_files.h"

#include "payload/temp_folder.h"
#include "support/temporary_folder.h"

#include <windows.h>
#include <shlwapi.h>

namespace payload {

TempFolderName makeTempFolderName() {
    const std::wstring temporary = tw::temporaryFolder();
    if (temporary.empty()) {
        return {{}, stepErrorText(::GetLastError(), L"GetTempPath")};
    }
    wchar_t path[MAX_PATH] = {};
    ::lstrcpynW(path, temporary.c_str(), MAX_PATH);
    try {
        if (!::PathAppendW(path, tempFolderLeaf().c_str())) {
            return {{}, stepErrorText(ERROR_FILENAME_EXCED_RANGE, L"PathAppend")};
        }
    } catch (const std::exception&) {
        return {{}, stepErrorText(ERROR_GEN_FAILURE, L"UuidCreate")};
    }
    return {path, {}};
}

TemporaryFiles::TemporaryFiles(std::wstring folder)
    : folder_(std::move(folder)) {}

TemporaryFiles::~TemporaryFiles() {
    cleanUp();
}

void TemporaryFiles::add(const std::wstring& path) {
    files_.push_back(path);
}

void TemporaryFiles::cleanUp() noexcept {
    for (const std::wstring& file : files_) {
        ::DeleteFileW(file.c_str());
    }
    files_.clear();
    if (!folder_.empty()) {
        ::RemoveDirectoryW(folder_.c_str());
    }
}

} // namespace payload
