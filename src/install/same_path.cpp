#include "install/same_path.h"

#include "install/path_rules.h"
#include "support/unique_resource.h"

#include <shlwapi.h>

namespace {

using FileIdentity = std::pair<unsigned long, unsigned long long>;

// The volume and file identifier of an existing file or folder; nothing when
// it cannot be opened.
std::optional<FileIdentity> identityOf(const std::wstring& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    tw::unique_file file(
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow};
}

// The path made absolute; a path beginning with a drive, colon and backslash
// is taken as it is, and so is one that cannot be completed.
std::wstring absolute(const std::wstring& path) {
    if (path.empty() || isDriveAbsolute(path)) {
        return path;
    }
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;
    }
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    return full;
}

bool sameElementsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return sameElements(a, b, [](std::wstring_view x, std::wstring_view y) {
        return x.size() == y.size() && (x.empty() || ::StrIsIntlEqualW(FALSE, x.data(), y.data(),
                                                                       static_cast<int>(x.size())));
    });
}

} // namespace

bool SamePath(const std::wstring& a, const std::wstring& b) {
    if (sameElementsExactly(a, b)) {
        return true;
    }
    const auto left = identityOf(a);
    const auto right = identityOf(b);
    if (left && right) {
        return *left == *right;
    }
    return SamePathText(a, b);
}

bool SamePathText(const std::wstring& a, const std::wstring& b) {
    return sameElementsIgnoringCase(absolute(a), absolute(b));
}

bool PathComparer::operator()(const std::wstring& a, const std::wstring& b) {
    if (sameElementsExactly(a, b)) {
        return true;
    }
    const Facts& left = lookup(a);
    const Facts& right = lookup(b);
    if (left.identity && right.identity) {
        return *left.identity == *right.identity;
    }
    return sameElementsIgnoringCase(left.absolute, right.absolute);
}

const PathComparer::Facts& PathComparer::lookup(const std::wstring& path) {
    const auto found = facts_.find(path);
    if (found != facts_.end()) {
        return found->second;
    }
    return facts_.emplace(path, Facts{identityOf(path), absolute(path)}).first->second;
}
