#include "bzip2_streams.h"

#include <bzlib.h>

#include <random>
#include <stdexcept>

namespace testing_support {

namespace {

constexpr std::uint64_t blockMagic = 0x314159265359;
constexpr std::uint64_t endOfStreamMagic = 0x177245385090;

// The CRC that bzip2 stores for a block: CRC-32 fed the most significant bit
// first (polynomial 0x04C11DB7), initial value and final complement all ones.
std::uint32_t bzip2Crc(const std::string& bytes, std::uint32_t crc = 0xFFFFFFFFu) {
    for (const char c : bytes) {
        crc ^= static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000u) != 0 ? crc << 1 ^ 0x04C11DB7u : crc << 1;
        }
    }
    return crc;
}

// The first block of the chance-magic stream: 899 981 bytes (a full block of
// level 9) without runs, so that its sorted rotations are known. One byte
// 0x30 comes first and 706 866 bytes below it follow, so the origin pointer
// is 706 866; the other bytes come from the groups 0x40, 0x60, 0x80, 0x90 and
// 0xC0, so that the groups in use are 0, 3, 4, 6, 8, 9 and 12; the last two
// bytes are chosen so that the low 10 bits of the block's CRC are the top 10
// bits of the magic.
std::string chanceMagicBlock() {
    constexpr std::size_t blockSize = 899'981;
    constexpr std::size_t below = 706'866;
    const unsigned char groups[] = {0x40, 0x60, 0x80, 0x90, 0xC0};
    std::string block(1, '\x30');
    for (std::size_t i = 0; i < below; ++i) {
        block.push_back(static_cast<char>(1 + i % 2));
    }
    std::mt19937 random(5);
    for (std::size_t i = 0; block.size() < blockSize - 2; ++i) {
        block.push_back(static_cast<char>(groups[i % 5] + random() % 16));
    }
    const std::uint32_t partial = bzip2Crc(block);
    const auto wanted = static_cast<std::uint32_t>(blockMagic >> 38);
    for (unsigned a = 0; a < 80; ++a) {
        for (unsigned b = 0; b < 80; ++b) {
            const std::string tail = {static_cast<char>(groups[a / 16] + a % 16),
                                      static_cast<char>(groups[(b / 16 + 1) % 5] + b % 16)};
            if ((~bzip2Crc(tail, partial) & 0x3FFu) == wanted) {
                return block + tail;
            }
        }
    }
    throw std::logic_error("no tail gives the CRC");
}

} // namespace

std::string compressAtLevel(const std::string& plain, int level) {
    std::string packed(plain.size() + plain.size() / 50 + 1024, '\0');
    auto size = static_cast<unsigned>(packed.size());
    if (BZ2_bzBuffToBuffCompress(packed.data(), &size, const_cast<char*>(plain.data()),
                                 static_cast<unsigned>(plain.size()), level, 0, 0) != BZ_OK) {
        throw std::runtime_error("libbz2 cannot compress");
    }
    packed.resize(size);
    return packed;
}

std::optional<std::string> decodeWithLibbz2(const std::string& packed) {
    std::string plain;
    std::size_t at = 0;
    do {
        bz_stream stream{};
        if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK) {
            return std::nullopt;
        }
        stream.next_in = const_cast<char*>(packed.data() + at);
        stream.avail_in = static_cast<unsigned>(packed.size() - at);
        int result = BZ_OK;
        char buffer[65536];
        while (result == BZ_OK) {
            stream.next_out = buffer;
            stream.avail_out = sizeof buffer;
            const unsigned before = stream.avail_in;
            result = BZ2_bzDecompress(&stream);
            plain.append(buffer, sizeof buffer - stream.avail_out);
            if (result == BZ_OK && stream.avail_out == sizeof buffer && stream.avail_in == before) {
                result = BZ_UNEXPECTED_EOF;
            }
        }
        at = packed.size() - stream.avail_in;
        BZ2_bzDecompressEnd(&stream);
        if (result != BZ_STREAM_END) {
            return std::nullopt;
        }
    } while (at < packed.size());
    return packed.empty() ? std::nullopt : std::optional(plain);
}

std::vector<std::uint64_t> magicOffsets(const std::string& packed) {
    std::vector<std::uint64_t> offsets;
    std::uint64_t window = 0;
    for (std::uint64_t bit = 0; bit < packed.size() * 8; ++bit) {
        const auto byte = static_cast<unsigned char>(packed[bit / 8]);
        window = (window << 1 | (byte >> (7 - bit % 8) & 1u)) & 0xFFFFFFFFFFFF;
        if (bit >= 47 && (window == blockMagic || window == endOfStreamMagic)) {
            offsets.push_back(bit - 47);
        }
    }
    return offsets;
}

std::string mixedContents(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes;
    while (bytes.size() < size) {
        switch (random() % 3) {
        case 0:
            bytes += "the payload of Kelvane " + std::to_string(random() % 1000) + "\r\n";
            break;
        case 1:
            bytes.append(random() % 300, static_cast<char>(random()));
            break;
        default:
            for (int i = 0; i < 64; ++i) {
                bytes.push_back(static_cast<char>(random()));
            }
        }
    }
    bytes.resize(size);
    return bytes;
}

std::string chanceMagicStream(std::string& plain) {
    // The next block begins with a byte unlike the block's last, so that the
    // first block ends exactly after its 899 981 bytes.
    plain = chanceMagicBlock() + '\0' + mixedContents(300'000, 9);
    return compressAtLevel(plain, 9);
}

} // namespace testing_support
