#include "install/recovery.h"

#include "install/installation_places.h"
#include "install/journal_store.h"
#include "install/registration_rules.h"
#include "install/uninstall_log.h"
#include "payload/shell_folders.h"
#include "support/product_code.h"
#include "support/product_keys.h"

#include <shlobj.h>

namespace {

// Where any installation of the product may have put things: the run's
// installation folder, the maker's folders of the common and the user's
// application data, the desktops (the examples folder) and the start menus.
InstallationPlaces placesOfRun(const std::wstring& installFolder) {
    InstallationPlaces places;
    places.installFolder = installFolder;
    const std::wstring maker = std::wstring(L"\\") + tw::makerName;
    for (const int csidl : {CSIDL_COMMON_APPDATA, CSIDL_APPDATA}) {
        if (const std::wstring folder = payload::shellFolderPath(csidl); !folder.empty()) {
            places.dataFolders.push_back(folder + maker);
        }
    }
    for (const int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY}) {
        if (const std::wstring folder = payload::shellFolderPath(csidl); !folder.empty()) {
            places.dataFolders.push_back(folder);
            places.shortcutFolders.push_back(folder);
        }
    }
    for (const int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        if (const std::wstring folder = payload::shellFolderPath(csidl); !folder.empty()) {
            places.shortcutFolders.push_back(folder);
        }
    }
    return places;
}

bool withinBounds(const JournalImage& image, const std::wstring& folder) {
    const InstallationPlaces places = placesOfRun(image.installFolder);
    const RegistryValueName productPath =
        productPathValue(tw::makerKeyPath(), tw::productPathValueName());
    return journalWithinBounds(
        image, folder,
        [&](const LogEntry& entry) { return mayActOn(places, entry.kind, entry.path); },
        [&](const std::wstring& key, const std::wstring& name) {
            return isInstallationValue({key, name}, productPath);
        });
}

} // namespace

Recovery recoverInterruptedRun() {
    const std::wstring folder = journal::defaultFolder();
    Recovery recovery{Recovery::Outcome::None, journal::filePath(folder)};
    const journal::StoredJournal stored = journal::loadJournal(folder);
    switch (stored.state) {
    case journal::StoredJournal::State::None:
        if (journal::isTrustedFolder(folder)) {
            journal::removeJournal(folder);
        }
        return recovery;
    case journal::StoredJournal::State::Unreadable:
        recovery.outcome = Recovery::Outcome::Unreadable;
        return recovery;
    case journal::StoredJournal::State::Read:
        break;
    }
    if (!withinBounds(stored.image, folder)) {
        recovery.outcome = Recovery::Outcome::Unreadable;
        return recovery;
    }
    UninstallLog interrupted;
    interrupted.Resume(stored.image);
    interrupted.Rollback();
    recovery.outcome = Recovery::Outcome::Undone;
    return recovery;
}
