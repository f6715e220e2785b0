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
#include <mutex>
#include <vector>

namespace payload {

// The stored CRC of a block, from its bits (which hold at least 80).
std::uint32_t blockCrc(const BitString& block) noexcept;

enum class BlockStatus { good, corrupt, stopped };

// The memory libbz2 asks for while it decodes, kept from one block to the
// next: each block needs the same few large arrays, and taking them afresh
// for every block would only scatter the heap.
class DecoderMemory {
public:
    DecoderMemory() = default;
    DecoderMemory(const DecoderMemory&) = delete;
    DecoderMemory& operator=(const DecoderMemory&) = delete;
    ~DecoderMemory();

    void* take(std::size_t size);
    void give(void* block) noexcept;

private:
    struct Kept {
        void* block;
        std::size_t size;
        bool taken;
    };
    std::vector<Kept> kept_;
};

// The decoded bytes of a block in pieces of pieceSize bytes (the last may be
// shorter), when they fit.
struct DecodedBlock {
    static constexpr std::size_t pieceSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> pieces;
    std::size_t size = 0;
    bool whole = false; // all of the block's bytes fit
};

// The pieces of decoded output of a stream, shared by the threads that decode
// it: a piece handed on comes back here and is taken again by a later block,
// whichever thread decodes that, so the pieces in memory are never more than
// were held at once.
class PieceStore {
public:
    std::unique_ptr<char[]> take();
    void give(std::unique_ptr<char[]> piece);

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<char[]>> free_;
};

// Decodes the stream of a block of a stream of that level, keeping its output
// in pieces of the store when it is at most limit bytes (else the output is
// only checked and dropped). Stops with stopped when stop becomes true.
// Raises std::bad_alloc when libbz2 lacks memory.
BlockStatus decodeBlock(const BitString& block, char level, std::size_t limit,
                        const std::atomic<bool>& stop, DecoderMemory& memory, PieceStore& store,
                        DecodedBlock& out);

// Decodes the stream of a block and hands every piece of output on as it
// comes; for a block already found good.
BlockStatus decodeBlock(const BitString& block, char level, DecoderMemory& memory,
                        const std::function<void(const char*, std::size_t)>& output);

} // namespace payload
