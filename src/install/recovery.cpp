#include "install/recovery.h"

#include "install/journal_store.h"
#include "install/registration_rules.h"
#include "install/session_places.h"
#include "install/uninstall_log.h"
#include "support/product_keys.h"

namespace {

bool withinBounds(const JournalImage& image, const std::wstring& folder) {
    const RegistryValueName productPath =
        productPathValue(tw::makerKeyPath(), tw::productPathValueName());
    return journalWithinBounds(image, folder, placeShapesOfThisMachine(),
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
