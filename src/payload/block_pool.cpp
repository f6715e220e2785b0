#include "payload/block_pool.h"

namespace payload {

BlockPool::BlockPool(unsigned threads, char level, std::size_t keep, PieceStore& store)
    : level_(level)
    , keep_(keep)
    , store_(store) {
    try {
        for (unsigned i = 0; i < threads; ++i) {
            threads_.emplace_back([this] { work(); });
        }
    } catch (...) {
        halt();
        throw;
    }
}

BlockPool::~BlockPool() {
    halt();
}

void BlockPool::halt() noexcept {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        jobs_.clear();
    }
    queued_.notify_all();
    for (std::thread& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void BlockPool::submit(std::shared_ptr<BlockJob> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    queued_.notify_one();
}

void BlockPool::wait(const BlockJob& job) {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return job.done; });
}

void BlockPool::work() {
    DecoderMemory memory;
    for (;;) {
        std::shared_ptr<BlockJob> job;
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [&] { return stop_ || !jobs_.empty(); });
            if (stop_) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        BlockStatus status = BlockStatus::stopped;
        DecodedBlock decoded;
        std::exception_ptr failure;
        try {
            status = decodeBlock(job->region.bits, level_, keep_, stop_, memory, store_, decoded);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            job->status = status;
            job->decoded = std::move(decoded);
            job->failure = failure;
            job->done = true;
        }
        finished_.notify_all();
    }
}

} // namespace payload
