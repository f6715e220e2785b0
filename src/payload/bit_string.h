#pragma once
// A string of bits in the order bzip2 writes them: the most significant bit
// of each byte first. Bits past the end of the last byte are zero.

#include <cstdint>
#include <vector>

namespace payload {

class BitString {
public:
    std::uint64_t size() const noexcept { return size_; }
    const std::vector<unsigned char>& bytes() const noexcept { return bytes_; }

    // Appends count bits of bytes, starting at bit from (bit 0 is the most
    // significant bit of bytes[0]).
    void append(const unsigned char* bytes, std::uint64_t from, std::uint64_t count);
    void append(const BitString& other) { append(other.bytes_.data(), 0, other.size_); }
    // Empties the string, keeping its room.
    void clear() noexcept {
        bytes_.clear();
        size_ = 0;
    }
    // Appends the low count bits of value (at most 64), the highest first.
    void appendValue(std::uint64_t value, unsigned count);

    // The count bits (at most 64) that start at bit at, as a number; the
    // bits must be there.
    std::uint64_t read(std::uint64_t at, unsigned count) const noexcept;

private:
    void appendBit(bool bit);

    std::vector<unsigned char> bytes_;
    std::uint64_t size_ = 0;
};

} // namespace payload
