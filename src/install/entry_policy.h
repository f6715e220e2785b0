#pragma once
// What the installation does with each notification of the extraction: it
// validates the payload before anything is written, decides for each entry
// whether it is written (data files are never overwritten, samples are not
// reinstalled over an older version), records every file in the journal,
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
    payload::notification::result entryBegin(const payload::ArchiveEntry& entry);
    payload::notification::result entryEnd(const payload::ArchiveEntry& entry);
    payload::notification::result skipDataFile(const payload::ArchiveEntry& entry);
    void failed(const payload::notification::failed& failure);

    const InstallationSession& session_;
    InstallProgress& progress_;
    InstalledPrograms& programs_;
    payload::TemporaryFiles& temporaries_;
    payload::ResourceStream& payload_;
};
