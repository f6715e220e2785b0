#include "uninstall/self_removal.h"

#include "common/language_module.h"
#include "uninstall/removal.h"

#include "support/unique_resource.h"

#include <windows.h>

#include <cwchar>
#include <ranges>

namespace uninstall {

namespace {

// How long the copy waits for the uninstaller to end.
constexpr DWORD uninstallerEndWait = 60'000;

std::wstring logPathBeside(const std::wstring& uninstaller) {
    return uninstaller.substr(0, uninstaller.find_last_of(L'\\') + 1) + logFileName;
}

// Deletes a file, even a read-only one, trying again for a while: the system
// may still hold the image of a process that has just ended.
void deleteEndedProgramFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (int attempt = 0;
         attempt < 50 && !::DeleteFileW(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND;
         ++attempt) {
        ::Sleep(100);
    }
}

void deleteAtStartUp(const std::wstring& path) {
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// A copy of the uninstaller under a fresh name in the temporary folder; empty
// when none could be made.
std::wstring copyToTemporaryFolder(const std::wstring& uninstaller, std::wstring& folder) {
    wchar_t temporary[MAX_PATH] = {};
    wchar_t name[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, temporary);
    if (length == 0 || length > MAX_PATH - 14 ||
        ::GetTempFileNameW(temporary, L"kvu", 0, name) == 0) {
        return {};
    }
    if (!::CopyFileW(uninstaller.c_str(), name, FALSE)) {
        ::DeleteFileW(name);
        return {};
    }
    folder = temporary;
    return name;
}

// Starts the copy with an inheritable handle of this process to wait on.
bool startCopy(const std::wstring& copy, const std::wstring& folder,
               const std::wstring& uninstaller) {
    HANDLE self = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                           &self, SYNCHRONIZE, TRUE, 0)) {
        return false;
    }
    const tw::unique_handle ownProcess(self);
    std::wstring commandLine = L"\"" + copy + L"\" " + finishArgument + L" " +
                               std::to_wstring(reinterpret_cast<std::uintptr_t>(self)) + L" \"" +
                               uninstaller + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          folder.c_str(), &startup, &started)) {
        return false;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}

} // namespace

void handOverSelfRemoval(const std::wstring& uninstaller, const LogContents& log) {
    std::wstring folder;
    const std::wstring copy = copyToTemporaryFolder(uninstaller, folder);
    if (!copy.empty()) {
        if (startCopy(copy, folder, uninstaller)) {
            return;
        }
        ::DeleteFileW(copy.c_str());
    }
    deleteAtStartUp(uninstaller);
    deleteAtStartUp(logPathBeside(uninstaller));
    for (const LogEntry& entry : std::views::reverse(log.entries)) {
        if (entry.kind == LogKind::Folder &&
            ::GetFileAttributesW(entry.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            deleteAtStartUp(entry.path);
        }
    }
}

int finishSelfRemoval(const std::vector<std::wstring>& arguments) {
    if (arguments.size() != 2) {
        return ERROR_INVALID_PARAMETER;
    }
    const tw::unique_handle uninstallerProcess(reinterpret_cast<HANDLE>(
        static_cast<std::uintptr_t>(std::wcstoull(arguments[0].c_str(), nullptr, 10))));
    ::WaitForSingleObject(uninstallerProcess.get(), uninstallerEndWait);
    const std::wstring& uninstaller = arguments[1];
    const std::wstring log = logPathBeside(uninstaller);
    const std::optional<LogContents> contents = readInstalledLog(log);
    deleteEndedProgramFile(uninstaller);
    ::SetFileAttributesW(log.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(log.c_str());
    if (contents) {
        removeEmptyFolders(*contents);
    }
    deleteAtStartUp(kelvane::ownPath());
    return 0;
}

} // namespace uninstall
