#include "install/install_sequence.h"

#include "app/format_text.h"
#include "app/install_app.h"
#include "app/texts.h"
#include "install/entry_policy.h"
#include "install/folder_rights.h"
#include "install/install_view.h"
#include "install/registration_rules.h"
#include "install/same_path.h"
#include "install/shortcuts.h"
#include "install/uninstall_registration.h"
#include "payload/extract.h"
#include "payload/payload_resource.h"
#include "payload/temp_files.h"
#include "payload/windows_target.h"
#include "support/product_keys.h"
#include "support/unique_resource.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

constexpr DWORD associationsRegistered = static_cast<DWORD>(-10);
constexpr wchar_t logFileName[] = L"Uninstall.ulog";

// The wait cursor for as long as the installation runs.
class WaitCursor {
public:
    WaitCursor()
        : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

void announce(InstallView& view, int text) {
    view.SetStatus(LoadText(text));
    view.AppendLog(LoadText(text));
}

void failedWith(InstallView& view, const std::wstring& code) {
    view.SetStatus(FormatText(LoadText(1121), {code}));
}

void makeReadOnly(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
    }
}

bool createShortcuts(InstallView& view, CInstallApp& app) {
    announce(view, 1117);
    ShortcutChoices choices;
    choices.menuShortcut = app.menuShortcut;
    choices.desktopShortcut = app.desktopShortcut;
    choices.shortcutFolder = app.shortcutFolder;
    if (app.desktopShortcut) {
        choices.desktopFolder = desktopFolder(view.window());
    }
    choices.mainProgramPath = view.mainProgramPath;
    choices.uninstallerPath = view.uninstallerPath;
    choices.productLabel = app.ProductName(false);
    choices.productName = app.ProductName(true);
    const bool created = createPlannedShortcuts(planShortcuts(choices), app.previousLog);
    view.AppendLog(StepOutcome(created));
    return created;
}

// The main program path in double quotes when it has a blank, as the shell
// quotes a path in a buffer of 260 characters.
std::wstring quotedProgram(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    path.copy(buffer, MAX_PATH - 1);
    ::PathQuoteSpacesW(buffer);
    return buffer;
}

std::wstring folderOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    path.copy(buffer, MAX_PATH - 1);
    ::PathRemoveFileSpecW(buffer);
    return buffer;
}

// Starts the installed main program so that it registers the file
// associations, lending it the single-instance mutex meanwhile. True when it
// ended with the exit code that says it registered them.
bool registerAssociations(InstallView& view, CInstallApp& app) {
    std::wstring commandLine =
        quotedProgram(view.mainProgramPath) + registrationArguments(app.existingVersion);
    const std::wstring workingFolder = folderOf(view.mainProgramPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION started{};

    app.instanceLock.releaseForLending();
    const bool created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                          NORMAL_PRIORITY_CLASS, nullptr, workingFolder.c_str(),
                                          &startup, &started) != FALSE;
    if (!created) {
        app.previousLog.CompleteLast(false);
        app.instanceLock.tryLock();
        return false;
    }
    const tw::unique_handle process(started.hProcess);
    const tw::unique_handle thread(started.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    const bool ended = ::GetExitCodeProcess(process.get(), &exitCode) != FALSE;
    app.instanceLock.tryLock();
    const bool registered = ended && exitCode == associationsRegistered;
    app.previousLog.CompleteLast(registered);
    if (registered) {
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    }
    return registered;
}

// The uninstall log beside the uninstaller; false when it cannot be placed
// or written.
bool writeUninstallLog(InstallView& view, CInstallApp& app) {
    announce(view, 1119);
    wchar_t path[MAX_PATH] = {};
    view.uninstallerPath.copy(path, MAX_PATH - 1);
    const bool placed = !view.uninstallerPath.empty() && view.uninstallerPath.size() < MAX_PATH &&
                        ::PathRemoveFileSpecW(path) && ::PathAppendW(path, logFileName);
    const bool written =
        placed && app.previousLog.Write(path, app.installFolder, app.shortcutFolder);
    view.AppendLog(StepOutcome(written));
    return written;
}

// Everything after the payload is in place. False only when the product path
// could not be recorded, which undoes the installation.
bool completeInstallation(InstallView& view, CInstallApp& app) {
    makeReadOnly(view.mainProgramPath);
    makeReadOnly(view.uninstallerPath);
    if (app.menuShortcut || app.desktopShortcut) {
        createShortcuts(view, app);
    }

    announce(view, 1118);
    const bool registryWritten = writeUninstallKey(
        productUninstallValues(app.ProductName(false), view.uninstallerPath, view.mainProgramPath),
        app.previousLog);
    try {
        tw::WriteProductPath(view.mainProgramPath);
    } catch (const std::system_error&) {
        app.previousLog.Rollback();
        view.AppendLog(StepOutcome(false));
        failedWith(view, L"-1");
        return false;
    }
    app.previousLog.AddFileAssociations();
    const bool registered = registerAssociations(view, app);
    view.AppendLog(StepOutcome(registryWritten && registered));

    writeUninstallLog(view, app);
    view.SetStatus(ContinueStatus());
    return true;
}

} // namespace

bool RunInstallation(InstallView& view) {
    CInstallApp& app = theApp();
    const WaitCursor waiting;
    view.mainProgramPath.clear();
    view.uninstallerPath.clear();
    view.AppendLog(L"", true);
    view.SetStatus(LoadText(1114));

    const payload::TempFolderName temporary = payload::MakeTempFolderName();
    if (temporary.path.empty()) {
        const std::wstring text = FormatText(LoadText(1121), {temporary.error});
        view.SetStatus(text);
        view.AppendLog(text + L"\r\n");
        return false;
    }
    app.tempFolder = temporary.path;
    const std::wstring sampleFolder = FormatText(LoadText(1018), {app.ProductName(true)});
    payload::TemporaryFiles temporaries(app.tempFolder);
    view.SetProgress(0);
    view.ShowProgress(true);

    const std::unique_ptr<payload::ResourceStream> resource = payload::OpenPayloadResource();
    payload::WindowsTarget target(SamePath, grantSharedFolderAccess);
    const bool extracted =
        payload::extract(*resource, {app.installFolder, sampleFolder, app.tempFolder},
                         EntryPolicy(app, view, temporaries, *resource), target);
    if (!extracted) {
        app.previousLog.Rollback();
        return false;
    }
    try {
        return completeInstallation(view, app);
    } catch (...) {
        // A step failed in a way none of them expects: nothing of this run
        // may stay half done.
        app.previousLog.Rollback();
        view.AppendLog(StepOutcome(false));
        failedWith(view, L"7");
        return false;
    }
}
