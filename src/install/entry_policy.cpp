#include "install/entry_policy.h"

#include "install/folder_rights.h"
#include "install/install_progress.h"
#include "install/installation_session.h"
#include "install/journal_executor.h"
#include "install/links.h"
#include "payload/compress_error.h"
#include "payload/extract.h"
#include "payload/temp_files.h"

using payload::notification;

EntryPolicy::EntryPolicy(const InstallationSession& session, InstallProgress& progress,
                         InstalledPrograms& programs, payload::TemporaryFiles& temporaries,
                         payload::ResourceStream& payload)
    : session_(session)
    , progress_(progress)
    , programs_(programs)
    , temporaries_(temporaries)
    , payload_(payload) {}

notification::result EntryPolicy::operator()(notification message) {
    using result = notification::result;
    return std::visit(
        [this](const auto& value) -> result {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, notification::started>) {
                return started();
            } else if constexpr (std::is_same_v<T, notification::entry_begin>) {
                return entryBegin(value);
            } else if constexpr (std::is_same_v<T, notification::entry_end>) {
                return entryEnd(value.entry.get());
            } else if constexpr (std::is_same_v<T, notification::progress>) {
                progress_.progress(progressPercent(value.position, value.total));
                return result::proceed;
            } else if constexpr (std::is_same_v<T, notification::failed>) {
                failed(value);
                return result::proceed;
            } else {
                return result::proceed;
            }
        },
        message.value);
}

notification::result EntryPolicy::started() {
    progress_.stepStarted(InstallStep::Preparation);
    // A damaged payload is found here, before any file is written.
    if (!payload_.is_open()) {
        payload::raise(payload::compress_errc::unknown);
    }
    payload::validatePayload(payload_);
    progress_.stepEnded(true);
    return notification::result::proceed;
}

notification::result EntryPolicy::skipDataFile(const payload::ArchiveEntry& entry) {
    // A data file the user has deleted since the earlier installation stays
    // away, and has no rights to receive. One that stays gets them; undoing
    // the run puts its DACL back.
    const std::wstring& path = entry.destination;
    if (journal::isFile(path)) {
        GrantAccess(path, dataFileAccess, 0, [&](const std::vector<std::uint8_t>& descriptor) {
            session_.journal.SaveAccess(path, descriptor);
        });
    }
    return notification::result::skip;
}

void EntryPolicy::refuseLinks(const notification::entry_begin& begin) {
    const std::wstring& path = begin.entry.get().destination;
    if (!begin.sharedFolder.empty() && !firstLinkDown(begin.sharedFolder, path).empty()) {
        progress_.fileStarted(path);
        payload::raise(payload::compress_errc::unexpected);
    }
}

notification::result EntryPolicy::entryBegin(const notification::entry_begin& begin) {
    refuseLinks(begin);
    const payload::ArchiveEntry& entry = begin.entry;
    const std::wstring& path = entry.destination;
    switch (entry.kind) {
    case payload::MainProgram:
        programs_.mainProgram = path;
        break;
    case payload::Uninstaller:
        programs_.uninstaller = path;
        break;
    case payload::DataFile:
        // Data files are never overwritten, and one that the earlier
        // installation wrote stays away when the user has deleted it.
        if (session_.existingState != NotInstalled && session_.journal.WasInstalledBefore(path)) {
            return skipDataFile(entry);
        }
        if (journal::isFile(path)) {
            session_.journal.AddFile(path, payload::DataFile, true);
            session_.journal.CompleteLast(true);
            return skipDataFile(entry);
        }
        break;
    case payload::Sample:
        if (session_.existingState == OlderInstalled) {
            return notification::result::skip;
        }
        break;
    case payload::TemporaryFile:
        temporaries_.add(path);
        break;
    default:
        break;
    }
    progress_.fileStarted(path);
    // Recorded after the line is begun, so that a file it refuses fails there.
    if (entry.kind != payload::TemporaryFile) {
        session_.journal.AddFile(path, static_cast<std::int32_t>(entry.kind),
                                 entry.kind == payload::DataFile);
    }
    return notification::result::proceed;
}

notification::result EntryPolicy::entryEnd(const payload::ArchiveEntry& entry) {
    if (entry.kind == payload::DataFile) {
        GrantAccess(entry.destination, dataFileAccess, 0);
    }
    if (entry.kind != payload::TemporaryFile) {
        session_.journal.CompleteLast(true);
    }
    progress_.fileEnded();
    return notification::result::proceed;
}

void EntryPolicy::failed(const notification::failed& failure) {
    session_.journal.CompleteLast(false);
    progress_.failed(payload::displayErrorCode(failure.code));
}
