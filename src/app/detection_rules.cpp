#include "app/detection_rules.h"

#include "install/log_format.h"
#include "support/path_text.h"

InstalledProgram classifyInstalledProgram(bool registered, std::optional<std::uint64_t> fileVersion,
                                          std::uint64_t ownVersion) {
    InstalledProgram found;
    if (!registered) {
        return found;
    }
    if (!fileVersion || *fileVersion == ownVersion) {
        found.state = SameInstalled;
        found.takesEarlierLog = true;
    } else if (*fileVersion > ownVersion) {
        found.state = NewerInstalled;
        found.showsVersionText = true;
    } else {
        found.state = OlderInstalled;
        found.showsVersionText = true;
        found.existingVersion = *fileVersion;
        found.takesEarlierLog = true;
    }
    return found;
}

std::vector<std::wstring> earlierLogCandidates(const std::optional<std::wstring>& uninstallString,
                                               std::wstring_view installerProgram,
                                               std::wstring_view registeredProgram) {
    std::vector<std::wstring> candidates;
    const auto addBeside = [&candidates](std::wstring_view program) {
        // A bare name has no folder to look in: joining it would name the
        // root of the current drive.
        const std::wstring folder = tw::parentPath(program);
        if (!folder.empty()) {
            candidates.push_back(folder + L"\\" + logFileName);
        }
    };
    if (uninstallString) {
        addBeside(*uninstallString);
    }
    addBeside(installerProgram);
    addBeside(registeredProgram);
    return candidates;
}
