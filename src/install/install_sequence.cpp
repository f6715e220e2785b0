#include "install/install_sequence.h"

#include "install/entry_policy.h"
#include "install/folder_rights.h"
#include "install/format_text.h"
#include "install/install_progress.h"
#include "install/log_format.h"
#include "install/registration_rules.h"
#include "install/same_path.h"
#include "install/session_places.h"
#include "install/shortcuts.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "install/uninstall_registration.h"
#include "payload/extract.h"
#include "payload/payload_resource.h"
#include "payload/temp_files.h"
#include "payload/temp_folder.h"
#include "payload/windows_target.h"
#include "support/product_keys.h"
#include "support/security_api.h"
#include "support/well_known_sid.h"
#include "support/unique_resource.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

constexpr DWORD associationsRegistered = static_cast<DWORD>(-10);

void makeReadOnly(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
    }
}

bool createShortcuts(const InstallationSession& session, const InstalledPrograms& programs,
                     InstallProgress& progress) {
    progress.stepStarted(InstallStep::Shortcuts);
    ShortcutChoices choices;
    choices.menuShortcut = session.menuShortcut;
    choices.desktopShortcut = session.desktopShortcut;
    choices.shortcutFolder = session.shortcutFolder;
    if (session.desktopShortcut) {
        choices.desktopFolder = desktopFolder(nullptr);
    }
    choices.mainProgramPath = programs.mainProgram;
    choices.uninstallerPath = programs.uninstaller;
    choices.productLabel = session.productLabel;
    choices.productName = session.productName;
    const bool created = createPlannedShortcuts(planShortcuts(choices), session.journal);
    progress.stepEnded(created);
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

// Makes the programs this process starts end when it ends, however it ends:
// the process joins a job that ends every process left in it once its last
// handle goes, and that handle stays open until the process ends (closing
// it would end the process). A process started later is in the job from its
// creation on, even one whose first thread has not run yet because its
// starter was ended inside CreateProcessW: such a process would otherwise
// wait for ever and keep its program file in use. Best effort: a process in
// a job that takes no nested job (before Windows 8) stays as it is.
void endStartedProgramsWithThisProcess() {
    static const bool joined = [] {
        tw::unique_handle job(::CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!job ||
            !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                       sizeof(limits)) ||
            !::AssignProcessToJobObject(job.get(), ::GetCurrentProcess())) {
            return false;
        }
        static_cast<void>(job.release());
        return true;
    }();
    static_cast<void>(joined);
}

// Starts the installed main program so that it registers the file
// associations, lending it the single-instance mutex meanwhile. True when it
// ended with the exit code that says it registered them. Should this process
// end meanwhile, the program ends with it.
bool registerAssociations(const InstallationSession& session, const std::wstring& mainProgram) {
    std::wstring commandLine =
        quotedProgram(mainProgram) + registrationArguments(session.existingVersion);
    const std::wstring workingFolder = folderOf(mainProgram);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION started{};

    // What the program registers goes back as it was if the run is undone.
    const tw::WellKnownSid user(tw::TokenUserSid);
    for (const RegistryValueName& value : registeredValues(tw::convertSidToStringSid(user.get()))) {
        session.journal.SaveValue(value.key, value.name);
    }
    endStartedProgramsWithThisProcess();
    session.instanceLock.releaseForLending();
    const bool created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                          NORMAL_PRIORITY_CLASS, nullptr, workingFolder.c_str(),
                                          &startup, &started) != FALSE;
    if (!created) {
        session.journal.CompleteLast(false);
        session.instanceLock.tryLock();
        return false;
    }
    const tw::unique_handle process(started.hProcess);
    const tw::unique_handle thread(started.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    const bool ended = ::GetExitCodeProcess(process.get(), &exitCode) != FALSE;
    session.instanceLock.tryLock();
    const bool registered = ended && exitCode == associationsRegistered;
    session.journal.CompleteLast(registered);
    if (registered) {
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    }
    return registered;
}

// The uninstall log beside the uninstaller; false when it cannot be placed
// or written.
bool writeUninstallLog(const InstallationSession& session, const std::wstring& uninstaller,
                       InstallProgress& progress) {
    progress.stepStarted(InstallStep::InstallationData);
    wchar_t path[MAX_PATH] = {};
    uninstaller.copy(path, MAX_PATH - 1);
    const bool placed = !uninstaller.empty() && uninstaller.size() < MAX_PATH &&
                        ::PathRemoveFileSpecW(path) && ::PathAppendW(path, logFileName);
    const bool written =
        placed && session.journal.Write(path, session.installFolder, session.shortcutFolder);
    progress.stepEnded(written);
    return written;
}

// Everything after the payload is in place. False only when the product path
// could not be recorded, which undoes the installation.
bool completeInstallation(const InstallationSession& session, const InstalledPrograms& programs,
                          InstallProgress& progress) {
    makeReadOnly(programs.mainProgram);
    makeReadOnly(programs.uninstaller);
    if (session.menuShortcut || session.desktopShortcut) {
        createShortcuts(session, programs, progress);
    }

    progress.stepStarted(InstallStep::RegistryData);
    const bool registryWritten = writeUninstallKey(
        productUninstallValues(session.productLabel, programs.uninstaller, programs.mainProgram),
        session.journal);
    const RegistryValueName productPath =
        productPathValue(tw::makerKeyPath(), tw::productPathValueName());
    session.journal.SaveValue(productPath.key, productPath.name);
    try {
        tw::WriteProductPath(programs.mainProgram);
    } catch (const std::system_error&) {
        session.journal.Rollback();
        progress.failed(L"-1");
        return false;
    }
    session.journal.AddFileAssociations();
    const bool registered = registerAssociations(session, programs.mainProgram);
    progress.stepEnded(registryWritten && registered);

    writeUninstallLog(session, programs.uninstaller, progress);
    progress.runEnded();
    return true;
}

// The extraction and everything after it, in the run's temporary folder.
bool installInto(const std::wstring& tempFolder, const InstallationSession& session,
                 InstallProgress& progress) {
    const std::wstring sampleFolder =
        formatText(LoadText(text::examplesFolder), {session.productName});
    payload::TemporaryFiles temporaries(tempFolder);
    progress.extractionStarted();

    const std::unique_ptr<payload::ResourceStream> resource = payload::openPayloadResource();
    // A shared folder may have been there before the run: undoing the run
    // puts its DACL back.
    payload::WindowsTarget target(SamePathText, [&](const std::wstring& folder) {
        grantSharedFolderAccess(folder, [&](const std::vector<std::uint8_t>& descriptor) {
            session.journal.SaveAccess(folder, descriptor);
        });
    });
    InstalledPrograms programs;
    const bool extracted =
        payload::extract(*resource, {session.installFolder, sampleFolder, tempFolder},
                         EntryPolicy(session, progress, programs, temporaries, *resource), target);
    if (!extracted) {
        session.journal.Rollback();
        return false;
    }
    try {
        return completeInstallation(session, programs, progress);
    } catch (...) {
        // A step failed in a way none of them expects: nothing of this run
        // may stay half done.
        session.journal.Rollback();
        progress.failed(L"7");
        return false;
    }
}

} // namespace

InstallationResult runInstallation(const InstallationSession& session, InstallProgress& progress) {
    progress.runStarted();
    const payload::TempFolderName temporary = payload::makeTempFolderName();
    if (temporary.path.empty()) {
        progress.preparationFailed(temporary.error);
        return {};
    }
    // Every change of the run is recorded in the journal file before it is
    // made; a run that cannot keep one changes nothing.
    try {
        session.journal.Open(placesOfThisSession(session.installFolder), temporary.path);
    } catch (const std::system_error& failure) {
        progress.preparationFailed(
            payload::stepErrorText(static_cast<std::uint32_t>(failure.code().value()), L"Journal"));
        return {};
    }
    return {installInto(temporary.path, session, progress), temporary.path};
}
