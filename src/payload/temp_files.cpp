#include "payload/temp_files.h"

#include "payload/temp_folder.h"

#include <windows.h>
#include <shlwapi.h>

namespace payload {

namespace {
constexpr DWORD longestTempPath = 246;
} // namespace

TempFolderName makeTempFolderName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, path);
    if (length == 0 || length > longestTempPath) {
        return {{}, stepErrorText(::GetLastError(), L"GetTempPath")};
    }
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
