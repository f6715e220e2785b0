#include "install/journal_executor.h"

#include "install/folder_rights.h"
#include "install/privileges.h"
#include "support/error.h"
#include "support/product_code.h"
#include "support/registry.h"
#include "support/temporary_folder.h"
#include "support/unique_resource.h"

#include <shlobj.h>

#include <algorithm>
#include <system_error>

namespace journal {

namespace {

const std::pair<HKEY, const wchar_t*> registryRoots[] = {
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
    {HKEY_USERS, L"HKEY_USERS"},
};

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
// it replaced can then go back at once. A file that cannot be deleted at all
// (a running program's) goes when Windows next starts.
void removeWrittenFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::wstring aside = tw::newTemporaryFile(path.substr(0, path.find_last_of(L'\\') + 1));
    if (!aside.empty()) {
        if (::MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            if (!::DeleteFileW(aside.c_str())) {
                ::MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            }
            return;
        }
        ::DeleteFileW(aside.c_str());
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

// The root key a saved value's key text begins with, and the rest after its
// backslash; a null root when it names none of the roots a run changes.
std::pair<HKEY, std::wstring> splitRoot(const std::wstring& key) {
    for (const auto& [root, name] : registryRoots) {
        const std::wstring prefix = std::wstring(name) + L"\\";
        if (key.compare(0, prefix.size(), prefix) == 0) {
            return {root, key.substr(prefix.size())};
        }
    }
    return {nullptr, {}};
}

// The outermost key of path (below root) that does not exist, with its root's
// name; empty when the whole path exists.
std::wstring firstMissingKey(HKEY root, const std::wstring& rootName, const std::wstring& path) {
    std::size_t end = 0;
    while (end != std::wstring::npos) {
        end = path.find(L'\\', end + 1);
        const std::wstring prefix = path.substr(0, end);
        if (!tw::OpenKey(root, prefix, KEY_QUERY_VALUE)) {
            return rootName + L"\\" + prefix;
        }
    }
    return {};
}

void restoreValue(const SavedValue& saved) {
    const auto [root, path] = splitRoot(saved.key);
    if (root == nullptr) {
        return;
    }
    if (const tw::RegistryKey key = tw::OpenKey(root, path, KEY_SET_VALUE)) {
        if (saved.existed) {
            tw::writeValue(key, saved.name, saved.type, saved.data.data(), saved.data.size());
        } else {
            ::RegDeleteValueW(key.get(), saved.name.c_str());
        }
    }
    if (!saved.createdKey.empty()) {
        const auto [createdRoot, created] = splitRoot(saved.createdKey);
        if (createdRoot != nullptr && !created.empty()) {
            tw::deleteKeyTree(createdRoot, created);
        }
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

bool createFolder(const std::wstring& folder) {
    if (!::CreateDirectoryW(folder.c_str(), nullptr)) {
        return false;
    }
    ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, folder.c_str(), nullptr);
    return true;
}

SavedValue saveValue(const std::wstring& key, const std::wstring& name) {
    SavedValue saved{key, name};
    const auto [root, path] = splitRoot(key);
    if (root == nullptr) {
        return saved;
    }
    const tw::RegistryKey opened = tw::OpenKey(root, path, KEY_QUERY_VALUE);
    if (!opened) {
        saved.createdKey = firstMissingKey(root, key.substr(0, key.size() - path.size() - 1), path);
        return saved;
    }
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        saved.data.resize(size);
        status = ::RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
                                    saved.data.empty() ? nullptr : saved.data.data(), &size);
        if (status == ERROR_SUCCESS && size > saved.data.size()) {
            status = ERROR_MORE_DATA;
        }
    }
    if (status == ERROR_FILE_NOT_FOUND) {
        saved.data.clear();
        return saved;
    }
    tw::throwIfWin32Failed(status);
    saved.existed = true;
    saved.type = type;
    saved.data.resize(size);
    return saved;
}

std::wstring reserveBackupName(const std::wstring& folder) {
    const std::wstring name = tw::newTemporaryFile(folder);
    // The file reserved the name; only the name is used.
    if (!name.empty()) {
        ::DeleteFileW(name.c_str());
    }
    return name;
}

bool saveAside(const std::wstring& path, const std::wstring& backup, bool copy) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool saved = copy ? ::CopyFileW(path.c_str(), backup.c_str(), FALSE) != FALSE
                            : ::MoveFileW(path.c_str(), backup.c_str()) != FALSE;
    if (!saved) {
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            ::SetFileAttributesW(path.c_str(), attributes);
        }
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (copy) {
            ::SetFileAttributesW(path.c_str(), attributes);
        }
        ::SetFileAttributesW(backup.c_str(), attributes);
    }
    return true;
}

std::wstring makeBackupFile(const std::wstring& folder, const std::wstring& path, bool copy) {
    const std::wstring name = reserveBackupName(folder);
    if (name.empty() || path.empty()) {
        return name;
    }
    return saveAside(path, name, copy) ? name : std::wstring();
}

bool saveKeyBackup(HKEY key, const std::wstring& name) {
    const EnabledPrivilege backingUp(L"SeBackupPrivilege");
    try {
        tw::saveKey(key, name);
        return true;
    } catch (const std::system_error&) {
        deleteBackupFile(name);
        return false;
    }
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
            // A backup that is named but missing was never made (the run was
            // interrupted before it moved the file aside): the file at path is
            // still the earlier one.
            if (!step.backup.empty() && !isFile(step.backup)) {
                break;
            }
            if (!step.path.empty()) {
                removeWrittenFile(step.path);
            }
            if (!step.backup.empty() && !step.restoreTo.empty()) {
                restoreBackup(step.backup, step.restoreTo);
            }
            break;
        case UndoStep::Action::DiscardBackup:
            deleteBackupFile(step.backup);
            break;
        case UndoStep::Action::RestoreValue:
            restoreValue(step.value);
            break;
        case UndoStep::Action::RestoreAccess:
            restoreAccess(step.path, step.descriptor);
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

bool writePiece(HANDLE file, const std::uint8_t* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

std::wstring newFileOf(const std::wstring& path) {
    return path + L".new";
}

bool writeNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes, DWORD attributes,
                  const PieceWriter& write) {
    const std::wstring name = newFileOf(path);
    ::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    tw::unique_file file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bool complete = true;
    for (std::size_t offset = 0; complete && offset < bytes.size();) {
        const auto piece =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1u << 20));
        complete = write(file.get(), bytes.data() + offset, piece);
        offset += piece;
    }
    complete = complete && ::FlushFileBuffers(file.get());
    file.reset();
    if (!complete || !::SetFileAttributesW(name.c_str(), attributes)) {
        deleteBackupFile(name);
        return false;
    }
    return true;
}

bool replaceWithNewFile(const std::wstring& path) {
    // A read-only file cannot be replaced; one that is not keeps what it has.
    const DWORD earlier = ::GetFileAttributesW(path.c_str());
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::MoveFileExW(newFileOf(path).c_str(), path.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (earlier != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(path.c_str(), earlier);
    }
    return false;
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
