#include "payload/crc32.h"

#include <array>

namespace payload {

namespace {

// Slicing by eight: tables[0] is the classic byte table; tables[k][b] is the
// CRC of byte b followed by k zero bytes, so that eight bytes are folded in
// with eight look-ups instead of eight dependent steps.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

Tables makeTables() noexcept {
    Tables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1u) != 0 ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        }
        tables[0][i] = value;
    }
    for (std::uint32_t i = 0; i < 256; ++i) {
        for (std::size_t k = 1; k < tables.size(); ++k) {
            const std::uint32_t previous = tables[k - 1][i];
            tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFFu];
        }
    }
    return tables;
}

std::uint32_t load32(const unsigned char* bytes) noexcept {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace

std::uint32_t crc32(const void* data, std::size_t size, std::uint32_t previous) noexcept {
    static const Tables t = makeTables(); // built once, on first use
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t crc = ~previous;
    for (; size >= 8; size -= 8, bytes += 8) {
        const std::uint32_t low = load32(bytes) ^ crc;
        const std::uint32_t high = load32(bytes + 4);
        crc = t[7][low & 0xFFu] ^ t[6][(low >> 8) & 0xFFu] ^ t[5][(low >> 16) & 0xFFu] ^
              t[4][low >> 24] ^ t[3][high & 0xFFu] ^ t[2][(high >> 8) & 0xFFu] ^
              t[1][(high >> 16) & 0xFFu] ^ t[0][high >> 24];
    }
    for (; size > 0; --size, ++bytes) {
        crc = t[0][(crc ^ *bytes) & 0xFFu] ^ (crc >> 8);
    }
    return ~crc;
}

} // namespace payload
