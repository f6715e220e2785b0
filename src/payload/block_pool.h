#pragma once
// The threads that decode the candidate blocks of a stream, each on its own
// (see block_decoder.h), in the order they are submitted.

#include "payload/block_decoder.h"
#include "payload/block_scanner.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace payload {

struct BlockJob {
    explicit BlockJob(Region candidate)
        : region(std::move(candidate)) {}

    Region region; // not changed until done
    // Set by the pool when done is.
    BlockStatus status = BlockStatus::stopped;
    DecodedBlock decoded;
    std::exception_ptr failure;
    bool done = false;
};

class BlockPool {
public:
    // Starts threads that decode blocks of a stream of that level, keeping up
    // to keep bytes of each block's output in pieces of the store.
    BlockPool(unsigned threads, char level, std::size_t keep, PieceStore& store);
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;
    // Stops: waiting jobs are dropped, running ones stop at their next piece
    // of output, and the threads are joined.
    ~BlockPool();

    void submit(std::shared_ptr<BlockJob> job);
    // Waits until the job is done (it must have been submitted).
    void wait(const BlockJob& job);

private:
    void work();
    void halt() noexcept;

    const char level_;
    const std::size_t keep_;
    PieceStore& store_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<std::shared_ptr<BlockJob>> jobs_;
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

} // namespace payload
