#pragma once
// Finding the blocks of a bzip2 stream as its bytes arrive. Every place where
// the block magic 0x314159265359 or the end-of-stream magic 0x177245385090
// begins, at any bit offset, ends the region that began at the previous one,
// and the region is cut out as a string of bits. A magic can also occur by
// chance inside compressed data, which the scanner cannot tell: its regions
// are candidates that the decoder confirms in order.

#include "payload/bit_string.h"

#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

namespace payload {

enum class Mark {
    block,     // a block magic
    streamEnd, // an end-of-stream magic
    inputEnd,  // the input ended
    overflow,  // the region grew longer than any block can be; scanning stopped
};

struct Region {
    std::uint64_t start = 0; // its first bit in the input
    Mark begin = Mark::block;
    Mark end = Mark::block;
    BitString bits;
};

class BlockScanner {
public:
    // Scans an input whose first region begins at bit first (just after the
    // stream header); a region longer than limit bits ends the scan.
    BlockScanner(std::uint64_t first, std::uint64_t limit);

    // Scans more bytes of the input and appends the regions they complete.
    // Raises a bzip2 error when the first region does not begin with a magic.
    void add(std::string_view bytes, std::deque<Region>& regions);

    // The input has ended: scans its last bytes and appends the last region.
    void finish(std::deque<Region>& regions);

    // After finish or an overflow: no more regions come.
    bool done() const noexcept { return done_; }

    // The bits of the open region: from its start to the end of the input
    // scanned so far.
    BitString pending() const;

    // Takes back the bits of a region that is no longer needed, whose room
    // the next region cut out reuses.
    void recycle(BitString bits);

private:
    void scan(std::uint64_t endBits, std::deque<Region>& regions);
    void boundary(std::uint64_t at, Mark mark, std::deque<Region>& regions);
    void cut(std::uint64_t at, Mark end, std::deque<Region>& regions);

    std::vector<unsigned char> buffer_; // the input from byte bufferStart_ on
    std::vector<BitString> spare_;      // room for the next regions
    std::uint64_t bufferStart_ = 0;
    std::uint64_t next_ = 0; // the byte where the next magic may begin
    std::uint64_t regionStart_;
    Mark regionBegin_ = Mark::block;
    bool open_ = false;
    std::uint64_t limit_;
    bool done_ = false;
};

} // namespace payload
