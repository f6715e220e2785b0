#include "install/folder_removal.h"

#include "support/unique_resource.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace {

constexpr int deepestLevel = 16;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD asItself = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr DWORD folderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | DELETE | SYNCHRONIZE;

bool isRealFolder(HANDLE item) {
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileInformationByHandle(item, &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

void deleteOpened(HANDLE item) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    ::SetFileInformationByHandle(item, FileDispositionInfo, &disposition, sizeof(disposition));
}

// The file ids of what the open folder holds, but "." and "..".
std::vector<LARGE_INTEGER> itemsOf(HANDLE folder) {
    std::vector<LARGE_INTEGER> items;
    alignas(FILE_ID_BOTH_DIR_INFO) char buffer[16384];
    for (auto kind = FileIdBothDirectoryRestartInfo;
         ::GetFileInformationByHandleEx(folder, kind, buffer, sizeof(buffer));
         kind = FileIdBothDirectoryInfo) {
        for (std::size_t offset = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + offset);
            const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                items.push_back(entry->FileId);
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            offset += entry->NextEntryOffset;
        }
    }
    return items;
}

void emptyFolder(HANDLE folder, int level) {
    for (const LARGE_INTEGER& id : itemsOf(folder)) {
        FILE_ID_DESCRIPTOR descriptor{};
        descriptor.dwSize = sizeof(descriptor);
        descriptor.Type = FileIdType;
        descriptor.FileId = id;
        const tw::unique_file item(
            ::OpenFileById(folder, &descriptor, folderAccess, shareAll, nullptr, asItself));
        if (!item) {
            continue;
        }
        if (isRealFolder(item.get())) {
            if (level == deepestLevel) {
                continue;
            }
            emptyFolder(item.get(), level + 1);
        }
        deleteOpened(item.get());
    }
}

} // namespace

void removeFolderTree(const std::wstring& folder) {
    const tw::unique_file opened(::CreateFileW(folder.c_str(), folderAccess, shareAll, nullptr,
                                               OPEN_EXISTING, asItself, nullptr));
    if (!opened || !isRealFolder(opened.get())) {
        return;
    }
    emptyFolder(opened.get(), 1);
    deleteOpened(opened.get());
}
