#pragma once
// Decoding one bzip2 block on its own with libbz2. The bits of a block, from
// its block magic up to where the next magic begins, are wrapped into a
// stream of their own: the header "BZh" and the level of the stream they come
// from, the bits, the end-of-stream magic, and the block's CRC as the
// stream's combined CRC. libbz2 then checks the block's CRC and that it ends
// exactly where the bits end.

#include "payload/bit_string.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace payload {

// The stored CRC of a block, from its bits (which hold at least 80).
std::uint32_t blockCrc(const BitString& block) noexcept;

// The stream of one block (see above).
BitString singleBlockStream(const BitString& block, char level);

enum class BlockStatus { good, corrupt, stopped };

// The decoded bytes of a block, as far as they fit.
struct DecodedBlock {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    bool whole = false; // all of the block's bytes fit
};

// Decodes a single-block stream, keeping at most limit bytes of its output
// (the rest is checked and dropped). Stops with stopped when stop becomes
// true. Raises std::bad_alloc when libbz2 lacks memory.
BlockStatus decodeBlock(const BitString& stream, std::size_t limit, const std::atomic<bool>& stop,
                        DecodedBlock& out);

// Decodes a single-block stream and hands every piece of output on as it
// comes; for a block already found good.
BlockStatus decodeBlock(const BitString& stream,
                        const std::function<void(const char*, std::size_t)>& output);

} // namespace payload
