#pragma once
// CRC-32 of ISO-HDLC / IEEE 802.3: reflected polynomial 0xEDB88320, initial
// value 0xFFFFFFFF, final complement. The CRC-32 of "abc" is 0x352441C2.

#include <cstddef>
#include <cstdint>

namespace payload {

// The CRC-32 of the bytes, continuing from the CRC-32 of what preceded them
// (0 for none): crc32(b, crc32(a)) is the CRC-32 of a followed by b.
std::uint32_t crc32(const void* data, std::size_t size, std::uint32_t previous = 0) noexcept;

} // namespace payload
