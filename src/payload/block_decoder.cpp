#include "payload/block_decoder.h"

#include <bzlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <string_view>

namespace payload {

namespace {

constexpr std::uint64_t endOfStreamMagic = 0x177245385090;
constexpr std::size_t step = 64 * 1024; // the output asked of libbz2 at a time

// One libbz2 decompression of a block's stream (see block_decoder.h). The
// stream is handed to libbz2 in three parts, so that the block's bits are read
// where they are: the header, the block's whole bytes, and a tail of its last
// bits, the end-of-stream magic and the block's CRC.
class Decompression {
public:
    Decompression(const BitString& block, char level, DecoderMemory& memory)
        : header_{'B', 'Z', 'h', level} {
        const std::uint64_t whole = block.size() / 8;
        tail_.append(block.bytes().data(), whole * 8, block.size() % 8);
        tail_.appendValue(endOfStreamMagic, 48);
        tail_.appendValue(block.size() >= 80 ? blockCrc(block) : 0, 32);
        parts_[0] = {header_, sizeof header_};
        parts_[1] = {reinterpret_cast<const char*>(block.bytes().data()),
                     static_cast<std::size_t>(whole)};
        parts_[2] = {reinterpret_cast<const char*>(tail_.bytes().data()), tail_.bytes().size()};
        stream_.opaque = &memory;
        stream_.bzalloc = [](void* opaque, int count, int size) {
            return static_cast<DecoderMemory*>(opaque)->take(static_cast<std::size_t>(count) *
                                                             static_cast<std::size_t>(size));
        };
        stream_.bzfree = [](void* opaque, void* taken) {
            static_cast<DecoderMemory*>(opaque)->give(taken);
        };
        if (BZ2_bzDecompressInit(&stream_, 0, 0) != BZ_OK) {
            throw std::bad_alloc();
        }
    }
    Decompression(const Decompression&) = delete;
    Decompression& operator=(const Decompression&) = delete;
    ~Decompression() { BZ2_bzDecompressEnd(&stream_); }

    // Decodes into [out, out + size); returns the bytes written. Sets
    // finished at the end of the stream; corrupt data ends with corrupt.
    std::size_t next(char* out, std::size_t size) {
        while (stream_.avail_in == 0 && part_ < parts_.size()) {
            stream_.next_in = const_cast<char*>(parts_[part_].data());
            stream_.avail_in = static_cast<unsigned>(parts_[part_].size());
            ++part_;
        }
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
    const char header_[4];
    BitString tail_;
    std::array<std::string_view, 3> parts_;
    std::size_t part_ = 0;
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

std::unique_ptr<char[]> PieceStore::take() {
    {
        std::lock_guard lock(mutex_);
        if (!free_.empty()) {
            std::unique_ptr<char[]> piece = std::move(free_.back());
            free_.pop_back();
            return piece;
        }
    }
    return std::unique_ptr<char[]>(new char[DecodedBlock::pieceSize]);
}

void PieceStore::give(std::unique_ptr<char[]> piece) {
    std::lock_guard lock(mutex_);
    free_.push_back(std::move(piece));
}

BlockStatus decodeBlock(const BitString& block, char level, std::size_t limit,
                        const std::atomic<bool>& stop, DecoderMemory& memory, PieceStore& store,
                        DecodedBlock& out) {
    Decompression decompression(block, level, memory);
    constexpr std::size_t piece = DecodedBlock::pieceSize;
    const auto giveBack = [&] {
        for (auto& kept : out.pieces) {
            store.give(std::move(kept));
        }
        out.pieces.clear();
    };
    giveBack();
    out.size = 0;
    std::unique_ptr<char[]> overflow;
    bool dropped = false;
    while (decompression.status == Decompression::Status::running) {
        if (stop.load(std::memory_order_relaxed)) {
            return BlockStatus::stopped;
        }
        if (out.size < limit) {
            if (out.size == out.pieces.size() * piece) {
                out.pieces.push_back(store.take());
            }
            const std::size_t used = out.size % piece;
            out.size += decompression.next(out.pieces.back().get() + used,
                                           std::min({step, piece - used, limit - out.size}));
            continue;
        }
        if (!overflow) {
            overflow.reset(new char[step]);
            giveBack(); // of no use without the rest
        }
        dropped = decompression.next(overflow.get(), step) > 0 || dropped;
    }
    out.whole = !dropped;
    return statusOf(decompression);
}

BlockStatus decodeBlock(const BitString& block, char level, DecoderMemory& memory,
                        const std::function<void(const char*, std::size_t)>& output) {
    Decompression decompression(block, level, memory);
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
