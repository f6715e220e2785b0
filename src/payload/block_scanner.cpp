#include "payload/block_scanner.h"

#include "payload/compress_error.h"

#include <algorithm>
#include <array>

namespace payload {

namespace {

constexpr std::uint64_t blockMagic = 0x314159265359;
constexpr std::uint64_t endOfStreamMagic = 0x177245385090;
constexpr std::uint64_t mask48 = (std::uint64_t{1} << 48) - 1;

// The values that the second byte of an 8-byte window takes when one of the
// magics begins at one of the eight bits of its first byte: a cheap test that
// rules out most windows.
std::array<bool, 256> makeFilter() noexcept {
    std::array<bool, 256> filter{};
    for (unsigned shift = 0; shift < 8; ++shift) {
        filter[(blockMagic >> (32 + shift)) & 0xFFu] = true;
        filter[(endOfStreamMagic >> (32 + shift)) & 0xFFu] = true;
    }
    return filter;
}

std::uint64_t load64(const unsigned char* bytes) noexcept {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

} // namespace

BlockScanner::BlockScanner(std::uint64_t first, std::uint64_t limit)
    : next_(first / 8)
    , regionStart_(first)
    , limit_(limit) {}

void BlockScanner::add(std::string_view bytes, std::deque<Region>& regions) {
    if (done_) {
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    scan((bufferStart_ + buffer_.size()) * 8, regions);
}

void BlockScanner::finish(std::deque<Region>& regions) {
    if (done_) {
        return;
    }
    const std::uint64_t endBits = (bufferStart_ + buffer_.size()) * 8;
    buffer_.insert(buffer_.end(), 7, 0); // so that the last windows can be loaded
    scan(endBits, regions);
    buffer_.resize(buffer_.size() - 7);
    if (!open_) {
        throwCorruptData(); // the input ended before the first magic
    }
    if (!done_) {
        cut(endBits, Mark::inputEnd, regions);
        done_ = true;
    }
}

BitString BlockScanner::pending() const {
    BitString bits;
    if (!done_) {
        const std::uint64_t from = regionStart_ - bufferStart_ * 8;
        bits.append(buffer_.data(), from, buffer_.size() * 8 - from);
    }
    return bits;
}

void BlockScanner::recycle(BitString bits) {
    bits.clear();
    spare_.push_back(std::move(bits));
}

void BlockScanner::scan(std::uint64_t endBits, std::deque<Region>& regions) {
    static const std::array<bool, 256> filter = makeFilter();
    const std::uint64_t last = bufferStart_ + buffer_.size(); // windows need 8 bytes
    for (; next_ + 8 <= last && !done_; ++next_) {
        const unsigned char* window = buffer_.data() + (next_ - bufferStart_);
        if (filter[window[1]]) {
            const std::uint64_t word = load64(window);
            for (unsigned shift = 0; shift < 8; ++shift) {
                const std::uint64_t at = next_ * 8 + shift;
                const std::uint64_t bits = word >> (16 - shift) & mask48;
                if ((bits == blockMagic || bits == endOfStreamMagic) && at + 48 <= endBits &&
                    (!open_ || at > regionStart_)) {
                    boundary(at, bits == blockMagic ? Mark::block : Mark::streamEnd, regions);
                }
            }
        }
        if (open_ && !done_ && next_ * 8 >= regionStart_ + limit_) {
            cut(endBits, Mark::overflow, regions);
            done_ = true;
        }
    }
    if (!open_ && next_ * 8 > regionStart_) {
        throwCorruptData(); // the header is not followed by a magic
    }
    // Drop the bytes before the open region (the scan resumes at next_).
    const std::uint64_t keep = std::min(regionStart_ / 8, next_);
    if (keep > bufferStart_) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(keep - bufferStart_));
        bufferStart_ = keep;
    }
}

void BlockScanner::boundary(std::uint64_t at, Mark mark, std::deque<Region>& regions) {
    if (!open_) {
        if (at != regionStart_) {
            throwCorruptData();
        }
        open_ = true;
        regionBegin_ = mark;
        return;
    }
    cut(at, mark, regions);
    regionBegin_ = mark;
}

void BlockScanner::cut(std::uint64_t at, Mark end, std::deque<Region>& regions) {
    Region region;
    region.start = regionStart_;
    region.begin = regionBegin_;
    region.end = end;
    if (!spare_.empty()) {
        region.bits = std::move(spare_.back());
        spare_.pop_back();
    }
    region.bits.append(buffer_.data(), regionStart_ - bufferStart_ * 8, at - regionStart_);
    regions.push_back(std::move(region));
    regionStart_ = at;
}

} // namespace payload
