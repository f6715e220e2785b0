#pragma once
// The extraction driver: the payload is pumped through the bzip2 decompressor
// into an ArchiveExtractor, which writes and verifies every file.

#include "payload/destination.h"
#include "payload/extraction_target.h"
#include "payload/notification.h"

#include <istream>

namespace payload {

// Sends started, then copies the source in chunks of 4096 bytes through the
// bzip2 decompressor (Boost.Iostreams, 4096-byte buffer) into an extractor of
// the three folders, and checks that the archive was complete. True after
// finished when every entry was processed. Any exception on the way (the
// observer's own included) is caught here and reported once as failed, with
// its error code and the path of the entry whose file was open (else the
// first path of a file-system error, else nothing); the result is then false.
// Nothing written is removed: undoing is the caller's business.
bool extract(std::istream& source, const BaseFolders& folders, const Observer& observer,
             ExtractionTarget& target);

// The check of a payload before anything is written: decompresses the whole
// source once (4096-byte chunks through a bzip2 decompressor of its own,
// output discarded), then rewinds it. Raises error 4 of the compress category
// when the source cannot be read to its end (a payload that is missing or not
// open) or rewound; a bzip2 error of corrupt data propagates as it is.
void validatePayload(std::istream& source);

} // namespace payload
