#include "payload/bit_string.h"

namespace payload {

namespace {

bool bitAt(const unsigned char* bytes, std::uint64_t at) noexcept {
    return (bytes[at / 8] >> (7 - at % 8) & 1u) != 0;
}

} // namespace

void BitString::appendBit(bool bit) {
    if (size_ % 8 == 0) {
        bytes_.push_back(0);
    }
    if (bit) {
        bytes_.back() = static_cast<unsigned char>(bytes_.back() | 0x80u >> (size_ % 8));
    }
    ++size_;
}

void BitString::append(const unsigned char* bytes, std::uint64_t from, std::uint64_t count) {
    const std::uint64_t end = from + count;
    // Room for exactly the bits appended: the regions of a stream are long,
    // and a vector that doubles would hold twice what they need.
    const auto needed = static_cast<std::size_t>((size_ + count + 7) / 8);
    if (needed > bytes_.capacity()) {
        bytes_.reserve(needed);
    }
    // Bit by bit up to a byte boundary of this string, then whole bytes
    // assembled from two source bytes each, then the last bits.
    for (; from < end && size_ % 8 != 0; ++from) {
        appendBit(bitAt(bytes, from));
    }
    const std::uint64_t whole = (end - from) / 8;
    if (whole > 0) {
        const unsigned shift = static_cast<unsigned>(from % 8);
        const unsigned char* source = bytes + from / 8;
        const std::size_t at = bytes_.size();
        bytes_.resize(at + whole);
        unsigned char* target = bytes_.data() + at;
        if (shift == 0) {
            for (std::uint64_t i = 0; i < whole; ++i) {
                target[i] = source[i];
            }
        } else {
            for (std::uint64_t i = 0; i < whole; ++i) {
                target[i] =
                    static_cast<unsigned char>(source[i] << shift | source[i + 1] >> (8 - shift));
            }
        }
        from += whole * 8;
        size_ += whole * 8;
    }
    for (; from < end; ++from) {
        appendBit(bitAt(bytes, from));
    }
}

void BitString::appendValue(std::uint64_t value, unsigned count) {
    while (count > 0) {
        --count;
        appendBit((value >> count & 1u) != 0);
    }
}

std::uint64_t BitString::read(std::uint64_t at, unsigned count) const noexcept {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < count; ++i) {
        value = value << 1 | (bitAt(bytes_.data(), at + i) ? 1u : 0u);
    }
    return value;
}

} // namespace payload
