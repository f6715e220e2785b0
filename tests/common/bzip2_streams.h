#pragma once
// bzip2 streams for the tests of the decoder: streams of any block size made
// and decoded by libbz2 itself, the places of their magics, and a stream in
// which a block magic occurs by chance inside a block.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// One bzip2 stream of the plain bytes, compressed by libbz2 with blocks of
// level × 100 000 bytes.
std::string compressAtLevel(const std::string& plain, int level);

// What libbz2 decodes from packed on one thread, streams one after another as
// Boost's decompressor reads them; nothing when the data is corrupt or ends
// inside a stream.
std::optional<std::string> decodeWithLibbz2(const std::string& packed);

// The bit offsets at which a block magic or an end-of-stream magic begins.
std::vector<std::uint64_t> magicOffsets(const std::string& packed);

// Mixed contents (text, runs, noise) of that size, different for each seed.
std::string mixedContents(std::size_t size, unsigned seed);

// A stream of level 9 and several blocks whose first block holds a block
// magic by chance: its stored CRC, randomised bit, origin pointer and the
// map of byte groups in use read 0x314159265359 from bit chanceMagicBit of
// the stream on. Sets plain to what it decodes to.
std::string chanceMagicStream(std::string& plain);
constexpr std::uint64_t chanceMagicBit = 32 + 48 + 22;

} // namespace testing_support
