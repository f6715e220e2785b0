#include "app/detection.h"

#include "app/detection_rules.h"
#include "app/install_app.h"
#include "install/product.h"
#include "install/uninstall_key.h"
#include "support/program_path.h"
#include "support/product_code.h"
#include "support/product_keys.h"
#include "support/registry.h"
#include "support/version_info.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace {

// "UninstallString" of the product's uninstall key; nothing when the key or
// the value is missing, not a string, or cannot be read.
std::optional<std::wstring> readUninstallString(const UninstallKeyLocation& keys) {
    try {
        const tw::RegistryKey key =
            tw::OpenKey(keys.root, keys.parent + L"\\" + tw::productKeyName());
        std::wstring value;
        if (key && tw::ReadString(key, uninstall_key::uninstallString, value)) {
            return value;
        }
    } catch (const std::system_error&) {
        // An unreadable key only means that this candidate is skipped.
    }
    return std::nullopt;
}

// The registered main program; an unreadable maker's key counts as none.
std::wstring registeredProgramPath() {
    try {
        return tw::ReadProductPath();
    } catch (const std::system_error&) {
        return {};
    }
}

} // namespace

std::wstring findEarlierLog(const UninstallKeyLocation& keys, const std::wstring& installerProgram,
                            const std::wstring& registeredProgram) {
    const std::vector<std::wstring> candidates =
        earlierLogCandidates(readUninstallString(keys), installerProgram, registeredProgram);
    const auto found = std::find_if(candidates.begin(), candidates.end(), journal::isFile);
    return found != candidates.end() ? *found : std::wstring();
}

void detectExistingInstallation(CInstallApp& app, const std::wstring& registeredProgram,
                                const std::wstring& installerProgram) {
    tw::VersionInfo installed;
    std::optional<std::uint64_t> fileVersion;
    if (!registeredProgram.empty()) {
        installed = tw::VersionInfo::fromFile(registeredProgram);
        if (installed.fixedInfo()) {
            fileVersion = installed.fileVersion();
        }
    }
    const InstalledProgram found =
        classifyInstalledProgram(!registeredProgram.empty(), fileVersion, product::ownVersion);
    app.existingState = found.state;
    app.existingVersionText = found.showsVersionText ? installed.displayName() : std::wstring();
    app.existingVersion = found.existingVersion;

    if (!found.takesEarlierLog) {
        app.previousLog.Load({});
        return;
    }
    const std::wstring log =
        findEarlierLog(app.previousLog.uninstallKeys(), installerProgram, registeredProgram);
    if (log.empty()) {
        // The folders stay empty and get their defaults.
        return;
    }
    app.previousLog.Load(log);
    if (!app.previousLog.installPath.empty()) {
        app.installFolder = app.previousLog.installPath;
    }
    if (!app.previousLog.shortcutPath.empty()) {
        app.shortcutFolder = app.previousLog.shortcutPath;
    }
}

void detectExistingInstallation(CInstallApp& app) {
    detectExistingInstallation(app, registeredProgramPath(), tw::programPath());
}
