// The bzip2 decoder against libbz2's own decoding on one thread: multi-block
// streams of random sizes, streams one after another, a magic that occurs by
// chance inside a block, and damaged or cut streams.
#include "payload/bzip2_decoder.h"
#include "payload/stream_source.h"

#include "bzip2_streams.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

using namespace testing_support;

// The decoded bytes; every piece must begin at a multiple of 4096 and only
// the last may be shorter.
struct Decoded {
    std::string bytes;
    bool complete = false;
    bool corrupt = false; // a bzip2 error was raised
};

Decoded decode(const std::string& packed, unsigned threads) {
    std::istringstream stream(packed);
    payload::StreamSource source(stream);
    Decoded decoded;
    bool shortPiece = false;
    try {
        decoded.complete = payload::decodeBzip2(
                               source,
                               [&](const char* bytes, std::size_t n) {
                                   EXPECT_FALSE(shortPiece) << "a short piece was not the last";
                                   EXPECT_EQ(decoded.bytes.size() % 4096, 0u);
                                   shortPiece = n < 4096;
                                   decoded.bytes.append(bytes, n);
                               },
                               threads)
                               .complete;
    } catch (const boost::iostreams::bzip2_error&) {
        decoded.corrupt = true;
    }
    return decoded;
}

// Decoding without an output, which only checks the data.
Decoded check(const std::string& packed, unsigned threads) {
    std::istringstream stream(packed);
    payload::StreamSource source(stream);
    Decoded checked;
    try {
        checked.complete = payload::decodeBzip2(source, {}, threads).complete;
    } catch (const boost::iostreams::bzip2_error&) {
        checked.corrupt = true;
    }
    return checked;
}

struct StreamCase {
    std::size_t size;
    int level;
    unsigned threads;
};

class DecodesLikeLibbz2 : public testing::TestWithParam<StreamCase> {};

TEST_P(DecodesLikeLibbz2, InOrderAndInAlignedPieces) {
    const StreamCase c = GetParam();
    std::mt19937 random(static_cast<unsigned>(c.size));
    const std::size_t size = c.size == 0 ? 0 : c.size + random() % 50'000;
    const std::string packed = compressAtLevel(mixedContents(size, c.level), c.level);
    const std::optional<std::string> expected = decodeWithLibbz2(packed);
    ASSERT_TRUE(expected);
    const Decoded decoded = decode(packed, c.threads);
    EXPECT_TRUE(decoded.complete);
    EXPECT_FALSE(decoded.corrupt);
    EXPECT_TRUE(decoded.bytes == *expected) << decoded.bytes.size() << " of " << expected->size();
    const Decoded checked = check(packed, c.threads);
    EXPECT_TRUE(checked.complete);
    EXPECT_FALSE(checked.corrupt);
}

INSTANTIATE_TEST_SUITE_P(Streams, DecodesLikeLibbz2,
                         testing::Values(StreamCase{0, 9, 2}, StreamCase{1, 1, 2},
                                         StreamCase{90'000, 1, 2}, StreamCase{450'000, 1, 2},
                                         StreamCase{450'000, 1, 3}, StreamCase{1'200'000, 1, 8},
                                         StreamCase{700'000, 2, 1}, StreamCase{2'000'000, 9, 2}));

TEST(Bzip2Decoder, StreamsOneAfterAnotherDecodeLikeLibbz2) {
    const std::string packed = compressAtLevel(mixedContents(250'000, 1), 1) +
                               compressAtLevel(mixedContents(30'000, 2), 3);
    for (const unsigned threads : {1u, 2u}) {
        const Decoded decoded = decode(packed, threads);
        EXPECT_TRUE(decoded.complete);
        EXPECT_TRUE(decoded.bytes == decodeWithLibbz2(packed)) << threads;
    }
}

TEST(Bzip2Decoder, MagicByChanceInsideABlockIsNoBoundary) {
    std::string plain;
    const std::string packed = chanceMagicStream(plain);
    const std::vector<std::uint64_t> magics = magicOffsets(packed);
    ASSERT_GE(magics.size(), 4u);
    ASSERT_EQ(magics[1], chanceMagicBit); // inside the first block
    for (const unsigned threads : {1u, 2u, 3u}) {
        const Decoded decoded = decode(packed, threads);
        EXPECT_TRUE(decoded.complete);
        EXPECT_TRUE(decoded.bytes == plain) << threads;
    }
}

// A changed byte in every block in turn, and the stream cut at every magic:
// both decoders raise the bzip2 error, also when they only check, and the
// parallel one hands on no byte that the sequential one does not.
TEST(Bzip2Decoder, DamagedOrCutStreamsFailAlike) {
    const std::string packed = compressAtLevel(mixedContents(600'000, 3), 1);
    const std::vector<std::uint64_t> magics = magicOffsets(packed);
    ASSERT_GE(magics.size(), 4u);
    std::vector<std::string> damaged;
    for (const std::uint64_t magic : magics) {
        damaged.push_back(packed.substr(0, magic / 8 + 1));
        if (magic != magics.back()) {
            std::string changed = packed;
            changed[magic / 8 + 200] ^= 0x21;
            damaged.push_back(changed);
        }
    }
    for (const std::string& stream : damaged) {
        const Decoded sequential = decode(stream, 1);
        const Decoded parallel = decode(stream, 2);
        EXPECT_TRUE(sequential.corrupt);
        EXPECT_TRUE(parallel.corrupt);
        EXPECT_TRUE(check(stream, 1).corrupt);
        EXPECT_TRUE(check(stream, 2).corrupt);
        EXPECT_EQ(sequential.bytes.compare(0, parallel.bytes.size(), parallel.bytes), 0);
    }
}

} // namespace
