#pragma once
// The extraction driver: the payload is pumped through the bzip2 decoder
// into an ArchiveExtractor, which writes and verifies every file.

#include "payload/byte_source.h"
#include "payload/bzip2_decoder.h"
#include "payload/destination.h"
#include "payload/extraction_target.h"
#include "payload/notification.h"

#include <iosfwd>

namespace payload {

// Sends started, then decodes the source (see decodeBzip2: one thread reads
// it in chunks of 4096 bytes through Boost's bzip2 decompressor, more decode
// its blocks in parallel) into an extractor of the three folders, in pieces
// of 4096 bytes, and checks that the archive was complete. True after
// finished when every entry was processed. Any exception on the way (the
// observer's own included) is caught here and reported once as failed, with
// its error code and the path of the entry whose file was open (else the
// first path of a file-system error, else nothing); the result is then false.
// Nothing written is removed: undoing is the caller's business.
bool extract(ByteSource& source, const BaseFolders& folders, const Observer& observer,
             ExtractionTarget& target, unsigned threads = decodingThreads());

// The check of a payload before anything is written: decodes the whole
// source once as extract does (output discarded), then rewinds it. Raises error 4 of the compress
// category when the source cannot be read to its end (a payload that is missing or not open) or
// rewound; a bzip2 error of corrupt data propagates as it is.
void validatePayload(ByteSource& source, unsigned threads = decodingThreads());

// The same from a standard input stream (stream_source.h).
bool extract(std::istream& source, const BaseFolders& folders, const Observer& observer,
             ExtractionTarget& target, unsigned threads = decodingThreads());
void validatePayload(std::istream& source, unsigned threads = decodingThreads());

} // namespace payload
