#include "payload/crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using payload::crc32;

struct CrcCase {
    std::string text;
    std::uint32_t crc;
};

class Crc32Known : public testing::TestWithParam<CrcCase> {};

TEST_P(Crc32Known, MatchesTheStandardValue) {
    EXPECT_EQ(crc32(GetParam().text.data(), GetParam().text.size()), GetParam().crc);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Crc32Known,
    testing::Values(CrcCase{"", 0x00000000u}, CrcCase{"a", 0xE8B7BE43u},
                    CrcCase{"abc", 0x352441C2u}, CrcCase{"123456789", 0xCBF43926u},
                    CrcCase{"The quick brown fox jumps over the lazy dog", 0x414FA339u}));

TEST(Crc32, ContinuingGivesTheCrcOfTheWhole) {
    const std::string text = "The quick brown fox jumps over the lazy dog";
    for (std::size_t split = 0; split <= text.size(); ++split) {
        const std::uint32_t first = crc32(text.data(), split);
        EXPECT_EQ(crc32(text.data() + split, text.size() - split, first), 0x414FA339u) << split;
    }
}

// The table-driven computation, eight bytes at a time, against the plain
// bit-at-a-time definition, for every length and alignment around the steps.
TEST(Crc32, EightBytesAtATimeMatchesTheDefinition) {
    std::string bytes(300, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 151 + (i >> 3));
    }
    const auto definition = [](const char* data, std::size_t size) {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = 0; i < size; ++i) {
            crc ^= static_cast<unsigned char>(data[i]);
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc & 1u) != 0 ? crc >> 1 ^ 0xEDB88320u : crc >> 1;
            }
        }
        return ~crc;
    };
    for (std::size_t offset = 0; offset < 8; ++offset) {
        for (std::size_t size = 0; size + offset <= bytes.size(); size += 7) {
            EXPECT_EQ(crc32(bytes.data() + offset, size), definition(bytes.data() + offset, size))
                << offset << ' ' << size;
        }
    }
}

TEST(Crc32, OneFlippedBitChangesIt) {
    std::string bytes(4096, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    const std::uint32_t original = crc32(bytes.data(), bytes.size());
    bytes[1234] = static_cast<char>(bytes[1234] ^ 0x10);
    EXPECT_NE(crc32(bytes.data(), bytes.size()), original);
}

} // namespace
