#pragma once
// The file-system error of the extraction targets: a system error that names
// the file or folder it concerns. When no entry's file was open, the failed
// notification shows that path.

#include <memory>
#include <string>
#include <system_error>
#include <utility>

namespace payload {

class FileError : public std::system_error {
public:
    FileError(std::error_code code, std::wstring path, const char* what)
        : std::system_error(code, what)
        , path_(std::make_shared<const std::wstring>(std::move(path))) {}

    const std::wstring& path() const noexcept { return *path_; }

private:
    std::shared_ptr<const std::wstring> path_; // shared: copying an exception must not throw
};

} // namespace payload
