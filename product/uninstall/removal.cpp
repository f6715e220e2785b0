#include "uninstall/removal.h"

#include "uninstall/product_registry.h"
#include "uninstall/shipped_files.h"

#include "install/log_check.h"
#include "install/same_path.h"
#include "payload/archive_entry.h"
#include "support/unique_resource.h"

#include <windows.h>

#include <algorithm>
#include <ranges>

namespace uninstall {

namespace {

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

// Samples and shared data files are the user's to change.
bool userMayChange(const LogEntry& entry) {
    return entry.value == payload::DataFile || entry.value == payload::Sample;
}

void removeEntry(const LogEntry& entry, const std::wstring& uninstaller,
                 std::vector<std::wstring>& kept) {
    switch (entry.kind) {
    case LogKind::Folder:
        ::RemoveDirectoryW(entry.path.c_str());
        return;
    case LogKind::File:
        if (!entry.done || !exists(entry.path) || SamePath(entry.path, uninstaller)) {
            return;
        }
        if (userMayChange(entry) && !sameAsShipped(entry.path)) {
            kept.push_back(entry.path);
            return;
        }
        removeFile(entry.path);
        return;
    case LogKind::ProgramShortcut:
    case LogKind::UninstallShortcut:
    case LogKind::DesktopShortcut:
        if (entry.done && !entry.path.empty()) {
            removeFile(entry.path);
        }
        return;
    case LogKind::UninstallKey:
        // Removed last (removeInstallation): an uninstallation ended part-way
        // stays in the system's list, from which it can be started again.
        return;
    case LogKind::FileAssociations:
        removeFileAssociations();
        return;
    }
}

} // namespace

std::optional<LogContents> readInstalledLog(const std::wstring& path) {
    const tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        return std::nullopt;
    }
    return readCompleteLog(bytes);
}

std::vector<std::wstring> removeInstallation(const LogContents& log,
                                             const std::wstring& uninstaller) {
    std::vector<std::wstring> kept;
    for (const LogEntry& entry : std::views::reverse(log.entries)) {
        removeEntry(entry, uninstaller, kept);
    }
    std::wstring mainProgram;
    for (const LogEntry& entry : log.entries) {
        if (entry.kind == LogKind::File && entry.value == payload::MainProgram) {
            mainProgram = entry.path;
        }
    }
    removeProductValues(mainProgram);
    if (std::ranges::any_of(log.entries, [](const LogEntry& entry) {
            return entry.kind == LogKind::UninstallKey;
        })) {
        removeUninstallKey();
    }
    return kept;
}

void removeEmptyFolders(const LogContents& log) {
    for (const LogEntry& entry : std::views::reverse(log.entries)) {
        if (entry.kind == LogKind::Folder) {
            ::RemoveDirectoryW(entry.path.c_str());
        }
    }
}

} // namespace uninstall
