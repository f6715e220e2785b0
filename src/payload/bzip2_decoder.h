#pragma once
// Decoding the payload's bzip2 data, on one thread through Boost's
// decompressor or on several with the parallel decoder (parallel_decoder.h);
// both give the same bytes in the same pieces and raise the same errors.

#include "payload/byte_source.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace payload {

// The threads that decode by default: one per processor, at most 8.
unsigned decodingThreads();

struct DecodeResult {
    std::uint64_t read = 0; // bytes read from the source
    bool complete = false;  // the source was read to its end and all of it decoded
};

// Decodes the bzip2 data of the source to its end as Boost's decompressor does
// (one stream, or streams one after another) and hands the decoded bytes to
// output in order, in pieces of 4096 bytes that begin at multiples of 4096
// (the last may be shorter); with an empty output the data is only checked.
// With one thread the source is read in chunks of
// 4096 bytes through Boost's decompressor; with more, the first stream is
// decoded in parallel and anything after it on this thread. Corrupt data
// raises the decompressor's bzip2 error; an exception of output propagates.
// When the source fails or stops before its end, decoding stops there and the
// result is not complete.
DecodeResult decodeBzip2(ByteSource& source,
                         const std::function<void(const char*, std::size_t)>& output,
                         unsigned threads);

} // namespace payload
