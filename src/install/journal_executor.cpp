#include "install/journal_executor.h"

#include "install/privileges.h"
#include "support/product_code.h"
#include "support/registry.h"
#include "support/unique_resource.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <system_error>

namespace journal {

namespace {

constexpr DWORD logFileAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// GetTempFileNameW needs room for its 14-character name after the folder.
constexpr DWORD longestTempFolder = MAX_PATH - 14;

// Moves a backup to its place and gives the result the backup's attributes;
// a backup that cannot be moved keeps them.
void restoreBackup(const std::wstring& backup, const std::wstring& target) {
    const DWORD attributes = ::GetFileAttributesW(backup.c_str());
    ::SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool moved = ::MoveFileW(backup.c_str(), target.c_str()) != FALSE;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(moved ? target.c_str() : backup.c_str(), attributes);
    }
}

// Deletes a file this run wrote. A file that another handle still holds
// open is only marked for deletion and keeps its name until that handle is
// closed, so it first makes way under a free name of its folder: the backup
// it replaced can then go back at once.
void removeWrittenFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    wchar_t folder[MAX_PATH] = {};
    wchar_t aside[MAX_PATH] = {};
    ::lstrcpynW(folder, path.c_str(), MAX_PATH);
    if (path.size() < MAX_PATH && ::PathRemoveFileSpecW(folder) &&
        ::GetTempFileNameW(folder, L"tw", 0, aside) != 0) {
        if (::MoveFileExW(path.c_str(), aside, MOVEFILE_REPLACE_EXISTING)) {
            ::DeleteFileW(aside);
            return;
        }
        ::DeleteFileW(aside);
    }
    ::DeleteFileW(path.c_str());
}

// Puts the product's key back as the backup holds it, then deletes the backup.
void restoreProductKey(const tw::RegistryKey& parent, const std::wstring& name,
                       const std::wstring& backup) {
    try {
        if (const tw::RegistryKey product = tw::OpenKey(parent, name, KEY_ALL_ACCESS)) {
            tw::restoreKey(product.get(), backup);
        }
    } catch (const std::system_error&) {
        // A key that cannot be opened or restored keeps what it holds.
    }
    deleteBackupFile(backup);
}

void undoKey(const UndoStep& step, const UninstallKeyLocation& keys) {
    const std::wstring name = tw::productKeyName();
    const EnabledPrivilege restoring(L"SeRestorePrivilege");
    const tw::RegistryKey parent = tw::OpenKey(keys.root, keys.parent, KEY_ALL_ACCESS);
    if (!parent) {
        return;
    }
    if (step.action == UndoStep::Action::RestoreKey) {
        restoreProductKey(parent, name, step.backup);
    } else {
        tw::deleteKeyTree(parent.get(), name);
    }
}

std::wstring widenThreadAnsi(std::string_view line) {
    if (line.empty()) {
        return {};
    }
    const int length = ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, line.data(),
                                             static_cast<int>(line.size()), nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, line.data(), static_cast<int>(line.size()),
                          wide.data(), length);
    return wide;
}

} // namespace

bool isFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::wstring> createMissingFolders(const std::wstring& folder) {
    std::vector<std::wstring> created;
    wchar_t buffer[MAX_PATH] = {};
    ::lstrcpynW(buffer, folder.c_str(), MAX_PATH);
    // The first component is the drive root; the walk starts after it.
    wchar_t* component = ::PathFindNextComponentW(buffer);
    while (component != nullptr && *component != L'\0') {
        wchar_t* next = ::PathFindNextComponentW(component);
        // The prefix ends at the backslash before the next component; after
        // the last component it is the whole folder.
        wchar_t* cut = next != nullptr && *next != L'\0' ? next - 1 : nullptr;
        const wchar_t saved = cut != nullptr ? *cut : L'\0';
        if (cut != nullptr) {
            *cut = L'\0';
        }
        bool failed = false;
        if (!isFolder(buffer)) {
            if (::CreateDirectoryW(buffer, nullptr)) {
                ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, buffer, nullptr);
                created.emplace_back(buffer);
            } else {
                failed = true;
            }
        }
        if (cut != nullptr) {
            *cut = saved;
        }
        if (failed) {
            break;
        }
        component = next;
    }
    return created;
}

std::wstring makeBackupFile(const std::wstring& path, bool copy) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > longestTempFolder) {
        return {};
    }
    wchar_t name[MAX_PATH] = {};
    if (::GetTempFileNameW(folder, L"tw", 0, name) == 0) {
        return {};
    }
    // GetTempFileNameW made the file to reserve the name; only the name is used.
    ::DeleteFileW(name);
    if (path.empty()) {
        return name;
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool saved = copy ? ::CopyFileW(path.c_str(), name, FALSE) != FALSE
                            : ::MoveFileW(path.c_str(), name) != FALSE;
    if (!saved) {
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            ::SetFileAttributesW(path.c_str(), attributes);
        }
        return {};
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (copy) {
            ::SetFileAttributesW(path.c_str(), attributes);
        }
        ::SetFileAttributesW(name, attributes);
    }
    return name;
}

std::wstring saveKeyBackup(HKEY key) {
    std::wstring name = makeBackupFile({}, false);
    if (name.empty()) {
        return {};
    }
    const EnabledPrivilege backingUp(L"SeBackupPrivilege");
    try {
        tw::saveKey(key, name);
    } catch (const std::system_error&) {
        deleteBackupFile(name);
        name.clear();
    }
    return name;
}

void deleteBackupFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

void undo(const UndoStep& step, const UninstallKeyLocation& keys) noexcept {
    try {
        switch (step.action) {
        case UndoStep::Action::RemoveFolder:
            ::RemoveDirectoryW(step.path.c_str());
            break;
        case UndoStep::Action::RemoveFile:
            if (!step.path.empty()) {
                removeWrittenFile(step.path);
            }
            if (!step.backup.empty() && !step.restoreTo.empty()) {
                restoreBackup(step.backup, step.restoreTo);
            }
            break;
        case UndoStep::Action::RestoreAttributes:
            ::SetFileAttributesW(step.path.c_str(),
                                 step.attributes != 0 ? step.attributes : FILE_ATTRIBUTE_NORMAL);
            break;
        case UndoStep::Action::RestoreKey:
        case UndoStep::Action::DeleteKey:
            undoKey(step, keys);
            break;
        }
    } catch (...) {
        // An undo step that cannot even be attempted leaves the others to run.
    }
}

bool writeLogFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    // An earlier read-only log is replaced; one that cannot be keeps its
    // attributes.
    const DWORD earlier = ::GetFileAttributesW(path.c_str());
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        if (earlier != INVALID_FILE_ATTRIBUTES) {
            ::SetFileAttributesW(path.c_str(), earlier);
        }
        return false;
    }
    bool complete = true;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + offset, chunk, &written, nullptr) ||
            written != chunk) {
            complete = false;
            break;
        }
        offset += chunk;
    }
    file.reset();
    ::SetFileAttributesW(path.c_str(), logFileAttributes);
    return complete;
}

std::optional<LogContents> readLogFile(const std::wstring& path) {
    tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    LogReader reader(widenThreadAnsi);
    std::vector<std::uint8_t> chunk(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read,
                        nullptr)) {
            // A read error is no end of file: the unfinished last line is not
            // taken, so no path is cut short.
            return std::move(reader.contents());
        }
        if (read == 0 || !reader.feed(std::span(chunk.data(), read))) {
            break;
        }
    }
    reader.finish();
    return std::move(reader.contents());
}

} // namespace journal
