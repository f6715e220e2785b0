#pragma once
// What the installation does with each notification of the extraction: it
// validates the payload before anything is written, decides for each entry
// whether it is written (data files are never overwritten, samples are not
// reinstalled over an older version, nothing is done through a link at or
// below a shared folder), records every file in the journal,
// keeps where the programs went, and reports each file, the progress and a
// failure.

#include "payload/notification.h"
#include "payload/payload_resource.h"

#include <string>

struct InstallationSession;
class InstallProgress;

namespace payload {
class TemporaryFiles;
}

// Where the extraction put the payload's main program and uninstaller; empty
// until their entries are reached.
struct InstalledPrograms {
    std::wstring mainProgram;
    std::wstring uninstaller;
};

class EntryPolicy {
public:
    // programs: filled as the programs' entries are reached. payload: the
    // resource stream the extraction reads, which the policy decompresses
    // once as a check before the extraction starts.
    EntryPolicy(const InstallationSession& session, InstallProgress& progress,
                InstalledPrograms& programs, payload::TemporaryFiles& temporaries,
                payload::ResourceStream& payload);

    payload::notification::result operator()(payload::notification message);

private:
    payload::notification::result started();
    // Fails the entry's line and the extraction ("unexpected") when a folder
    // from the entry's shared folder down, or its file, is a link: an ordinary
    // user could have put it there to redirect what the installation writes
    // and grants.
    void refuseLinks(const payload::notification::entry_begin& begin);
    payload::notification::result entryBegin(const payload::notification::entry_begin& begin);
    payload::notification::result entryEnd(const payload::ArchiveEntry& entry);
    payload::notification::result skipDataFile(const payload::ArchiveEntry& entry);
    void failed(const payload::notification::failed& failure);

    const InstallationSession& session_;
    InstallProgress& progress_;
    InstalledPrograms& programs_;
    payload::TemporaryFiles& temporaries_;
    payload::ResourceStream& payload_;
};
