#pragma once
// Decoding the first bzip2 stream of an input on several threads. The input
// is read ahead and cut into candidate blocks at every magic (see
// block_scanner.h); a pool of threads decodes each candidate on its own while
// this thread hands the decoded blocks on in order. A candidate counts only
// once the one before it has decoded and ended exactly where it begins, so
// every boundary is confirmed in order from the stream header on. A candidate
// that fails to decode either is corrupt or ends at a magic that occurred by
// chance inside compressed data: this thread then joins it with the candidates
// that follow, one at a time, and decodes the joined bits itself, until they
// decode as one block or grow longer than any block can be (corrupt data).
// Every block's CRC is checked by libbz2 and the combined CRC of the stream
// here. At most a fixed number of candidates is held at a time.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace payload {

// The next piece of the input; empty at its end.
using ReadInput = std::function<std::string_view()>;
using DecodedOutput = std::function<void(const char*, std::size_t)>;

// Decodes the first stream of the input on that many threads (at least one)
// and hands its bytes to output in order; without an output (an empty
// function) the stream is only checked and no decoded block is kept. Returns the bytes of the input
// that follow the stream's end and were read already. Corrupt data, including an input that ends
// inside the stream, raises a bzip2 error; so does a magic that does not follow the header.
std::string decodeFirstStream(const ReadInput& read, const DecodedOutput& output, unsigned threads);

} // namespace payload
