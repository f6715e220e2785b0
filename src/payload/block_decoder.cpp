#include "payload/block_decoder.h"

#include <bzlib.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace payload {

namespace {

constexpr std::uint64_t endOfStreamMagic = 0x177245385090;
constexpr std::size_t step = 64 * 1024; // the output asked of libbz2 at a time

// One libbz2 decompression over a whole stream in memory.
class Decompression {
public:
    Decompression(const BitString& stream, DecoderMemory& memory) {
        stream_.opaque = &memory;
        stream_.bzalloc = [](void* opaque, int count, int size) {
            return static_cast<DecoderMemory*>(opaque)->take(static_cast<std::size_t>(count) *
                                                             static_cast<std::size_t>(size));
        };
        stream_.bzfree = [](void* opaque, void* block) {
            static_cast<DecoderMemory*>(opaque)->give(block);
        };
        if (BZ2_bzDecompressInit(&stream_, 0, 0) != BZ_OK) {
            throw std::bad_alloc();
        }
        const auto& bytes = stream.bytes();
        stream_.next_in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
        stream_.avail_in = static_cast<unsigned>(bytes.size());
    }
    Decompression(const Decompression&) = delete;
    Decompression& operator=(const Decompression&) = delete;
    ~Decompression() { BZ2_bzDecompressEnd(&stream_); }

    // Decodes into [out, out + size); returns the bytes written. Sets
    // finished at the end of the stream; corrupt data ends with corrupt.
    std::size_t next(char* out, std::size_t size) {
        stream_.next_out = out;
        stream_.avail_out = static_cast<unsigned>(size);
        const unsigned inBefore = stream_.avail_in;
        const int result = BZ2_bzDecompress(&stream_);
        const std::size_t produced = size - stream_.avail_out;
        if (result == BZ_MEM_ERROR) {
            throw std::bad_alloc();
        }
        if (result == BZ_STREAM_END) {
            status = Status::finished;
        } else if (result != BZ_OK || (produced == 0 && stream_.avail_in == inBefore)) {
            status = Status::corrupt; // bad data, or input ended inside the stream
        }
        return produced;
    }

    enum class Status { running, finished, corrupt } status = Status::running;

private:
    bz_stream stream_{};
};

BlockStatus statusOf(const Decompression& decompression) {
    return decompression.status == Decompression::Status::finished ? BlockStatus::good
                                                                   : BlockStatus::corrupt;
}

} // namespace

DecoderMemory::~DecoderMemory() {
    for (const Kept& kept : kept_) {
        std::free(kept.block);
    }
}

void* DecoderMemory::take(std::size_t size) {
    for (Kept& kept : kept_) {
        if (!kept.taken && kept.size == size) {
            kept.taken = true;
            return kept.block;
        }
    }
    void* block = std::malloc(size);
    if (block != nullptr) {
        kept_.push_back({block, size, true});
    }
    return block; // libbz2 reports a null block as its memory error
}

void DecoderMemory::give(void* block) noexcept {
    for (Kept& kept : kept_) {
        if (kept.block == block) {
            kept.taken = false;
        }
    }
}

std::uint32_t blockCrc(const BitString& block) noexcept {
    return static_cast<std::uint32_t>(block.read(48, 32));
}

BitString singleBlockStream(const BitString& block, char level) {
    BitString stream;
    const unsigned char header[] = {'B', 'Z', 'h', static_cast<unsigned char>(level)};
    stream.append(header, 0, 32);
    stream.append(block);
    stream.appendValue(endOfStreamMagic, 48);
    stream.appendValue(block.size() >= 80 ? blockCrc(block) : 0, 32);
    return stream;
}

BlockStatus decodeBlock(const BitString& stream, std::size_t limit, const std::atomic<bool>& stop,
                        DecoderMemory& memory, DecodedBlock& out) {
    Decompression decompression(stream, memory);
    constexpr std::size_t piece = DecodedBlock::pieceSize;
    out.pieces.clear();
    out.size = 0;
    std::unique_ptr<char[]> overflow;
    bool dropped = false;
    while (decompression.status == Decompression::Status::running) {
        if (stop.load(std::memory_order_relaxed)) {
            return BlockStatus::stopped;
        }
        if (out.size < limit) {
            if (out.size == out.pieces.size() * piece) {
                out.pieces.emplace_back(new char[piece]);
            }
            const std::size_t used = out.size % piece;
            out.size += decompression.next(out.pieces.back().get() + used,
                                           std::min({step, piece - used, limit - out.size}));
            continue;
        }
        if (!overflow) {
            overflow.reset(new char[step]);
            out.pieces.clear(); // of no use without the rest
        }
        dropped = decompression.next(overflow.get(), step) > 0 || dropped;
    }
    out.whole = !dropped;
    return statusOf(decompression);
}

BlockStatus decodeBlock(const BitString& stream, DecoderMemory& memory,
                        const std::function<void(const char*, std::size_t)>& output) {
    Decompression decompression(stream, memory);
    std::unique_ptr<char[]> buffer(new char[step]);
    while (decompression.status == Decompression::Status::running) {
        const std::size_t produced = decompression.next(buffer.get(), step);
        if (produced > 0) {
            output(buffer.get(), produced);
        }
    }
    return statusOf(decompression);
}

} // namespace payload
