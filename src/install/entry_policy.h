#pragma once
// What the installation does with each notification of the extraction: it
// validates the payload before anything is written, decides for each entry
// whether it is written (data files are never overwritten, samples are not
// reinstalled over an older version), records every file in the journal,
// and shows the user each file, the progress and a failure.

#include "payload/notification.h"
#include "payload/payload_resource.h"

class CInstallApp;
class InstallView;

namespace payload {
class TemporaryFiles;
}

class EntryPolicy {
public:
    // payload: the resource stream the extraction reads, which the policy
    // decompresses once as a check before the extraction starts.
    EntryPolicy(CInstallApp& session, InstallView& view, payload::TemporaryFiles& temporaries,
                payload::ResourceStream& payload);

    payload::notification::result operator()(payload::notification message);

private:
    payload::notification::result started();
    payload::notification::result entryBegin(const payload::ArchiveEntry& entry);
    payload::notification::result entryEnd(const payload::ArchiveEntry& entry);
    payload::notification::result skipDataFile(const payload::ArchiveEntry& entry);
    void failed(const payload::notification::failed& failure);

    CInstallApp& session_;
    InstallView& view_;
    payload::TemporaryFiles& temporaries_;
    payload::ResourceStream& payload_;
};
