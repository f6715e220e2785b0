#include "payload/parallel_decoder.h"

#include "payload/block_pool.h"
#include "payload/compress_error.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>

namespace payload {

namespace {

// The output of a block kept in memory; a block that decodes to more is
// decoded again when its turn comes, straight to the output.
constexpr std::size_t keptOutput = 2 * 1024 * 1024;

// The longest a block can be in bits: a symbol for every byte of the largest
// block at the longest code length libbz2 accepts (20 bits), and room for its
// header, selectors and tables.
std::uint64_t longestBlock(char level) {
    return static_cast<std::uint64_t>(level - '0') * 100'000 * 20 + (1u << 20);
}

std::uint32_t combine(std::uint32_t combined, std::uint32_t block) {
    return (combined << 1 | combined >> 31) ^ block;
}

class FirstStream {
public:
    FirstStream(const ReadInput& read, const DecodedOutput& output, unsigned threads, char level)
        : read_(read)
        , output_(output)
        , level_(level)
        , limit_(longestBlock(level))
        , inFlight_(threads)
        , keep_(output ? keptOutput : 0)
        , scanner_(32, limit_)
        , pool_(threads, level, keep_, store_) {}

    std::string run(std::string_view head);

private:
    void fill();
    void enqueue(std::deque<Region>& regions);
    std::shared_ptr<BlockJob> next();
    std::shared_ptr<BlockJob> joinFollowing(const BlockJob& failed);
    void deliver(BlockJob& job);
    std::string endStream(const BlockJob& job);

    const ReadInput& read_;
    const DecodedOutput& output_;
    const char level_;
    const std::uint64_t limit_;
    const std::size_t inFlight_;
    const std::size_t keep_; // the output kept of each block
    std::uint32_t combined_ = 0;
    std::deque<std::shared_ptr<BlockJob>> queue_;
    BlockScanner scanner_;
    DecoderMemory memory_; // for the blocks decoded on this thread
    PieceStore store_;
    BlockPool pool_; // last, so that its threads stop before the jobs and the store go
};

std::string FirstStream::run(std::string_view head) {
    std::deque<Region> regions;
    scanner_.add(head, regions);
    enqueue(regions);
    for (;;) {
        std::shared_ptr<BlockJob> job = next();
        if (job->region.begin == Mark::streamEnd) {
            return endStream(*job);
        }
        pool_.wait(*job);
        if (job->failure) {
            std::rethrow_exception(job->failure);
        }
        if (job->status != BlockStatus::good) {
            job = joinFollowing(*job);
        }
        combined_ = combine(combined_, blockCrc(job->region.bits));
        deliver(*job);
        scanner_.recycle(std::move(job->region.bits));
    }
}

// Reads and scans until enough candidates wait or the input has ended.
void FirstStream::fill() {
    while (queue_.size() < inFlight_ && !scanner_.done()) {
        std::deque<Region> regions;
        const std::string_view piece = read_();
        if (piece.empty()) {
            scanner_.finish(regions);
        } else {
            scanner_.add(piece, regions);
        }
        enqueue(regions);
    }
}

// Queues the candidates; those that begin with a block magic go to the pool.
void FirstStream::enqueue(std::deque<Region>& regions) {
    for (Region& region : regions) {
        queue_.push_back(std::make_shared<BlockJob>(std::move(region)));
        if (queue_.back()->region.begin == Mark::block) {
            pool_.submit(queue_.back());
        }
    }
}

// The next candidate, whose start is confirmed; corrupt data when the input
// has ended before the stream. The queue is filled again at once, so that the
// threads decode the following candidates while this one is handed on.
std::shared_ptr<BlockJob> FirstStream::next() {
    fill();
    if (queue_.empty()) {
        throwCorruptData();
    }
    std::shared_ptr<BlockJob> job = std::move(queue_.front());
    queue_.pop_front();
    fill();
    return job;
}

std::shared_ptr<BlockJob> FirstStream::joinFollowing(const BlockJob& failed) {
    BitString bits = failed.region.bits;
    const std::atomic<bool> never{false};
    for (;;) {
        bits.append(next()->region.bits);
        if (bits.size() > limit_) {
            throwCorruptData();
        }
        Region region{failed.region.start, Mark::block, Mark::block, bits};
        auto joined = std::make_shared<BlockJob>(std::move(region));
        joined->status = decodeBlock(bits, level_, keep_, never, memory_, store_, joined->decoded);
        if (joined->status == BlockStatus::good) {
            return joined;
        }
    }
}

// Hands the block's bytes on, giving each kept piece back to the store once
// it is handed on; without an output the block was only checked.
void FirstStream::deliver(BlockJob& job) {
    if (!output_) {
        return;
    }
    if (job.decoded.whole) {
        std::size_t left = job.decoded.size;
        for (auto& piece : job.decoded.pieces) {
            const std::size_t size = std::min(left, DecodedBlock::pieceSize);
            output_(piece.get(), size);
            store_.give(std::move(piece));
            left -= size;
        }
    } else if (decodeBlock(job.region.bits, level_, memory_, output_) != BlockStatus::good) {
        throwCorruptData(); // it decoded well the first time
    }
}

// The end-of-stream magic, the stored combined CRC and the padding to the next
// byte; what follows was read ahead and goes back to the caller.
std::string FirstStream::endStream(const BlockJob& job) {
    BitString rest = job.region.bits;
    for (const auto& following : queue_) {
        rest.append(following->region.bits);
    }
    rest.append(scanner_.pending());
    if (rest.size() < 80 || rest.read(48, 32) != combined_) {
        throwCorruptData();
    }
    const std::uint64_t end = (job.region.start + 80 + 7) / 8 * 8 - job.region.start;
    BitString after;
    after.append(rest.bytes().data(), end, rest.size() - end);
    return std::string(after.bytes().begin(), after.bytes().end());
}

} // namespace

std::string decodeFirstStream(const ReadInput& read, const DecodedOutput& output,
                              unsigned threads) {
    std::string head;
    while (head.size() < 4) {
        const std::string_view piece = read();
        if (piece.empty()) {
            throwCorruptData();
        }
        head += piece;
    }
    if (head.compare(0, 3, "BZh") != 0 || head[3] < '1' || head[3] > '9') {
        throwCorruptData();
    }
    FirstStream stream(read, output, threads, head[3]);
    return stream.run(head);
}

} // namespace payload
