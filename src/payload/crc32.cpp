#include "payload/crc32.h"

#include <array>

namespace payload {

namespace {

using Table = std::array<std::uint32_t, 256>;

Table makeTable() noexcept {
    Table table{};
    for (std::uint32_t i = 0; i < table.size(); ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1u) != 0 ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        }
        table[i] = value;
    }
    return table;
}

} // namespace

std::uint32_t crc32(const void* data, std::size_t size, std::uint32_t previous) noexcept {
    static const Table table = makeTable(); // built once, on first use
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t crc = ~previous;
    for (std::size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    }
    return ~crc;
}

} // namespace payload
