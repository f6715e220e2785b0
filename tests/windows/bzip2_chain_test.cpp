// The bzip2 chain the payload travels through: Boost.Iostreams' filters over
// the libbz2 built for Windows.
#include "test_data.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using testing_support::compress;
using testing_support::decompress;

std::string mixedContent(std::size_t size) {
    std::mt19937 random(42);
    std::string text;
    while (text.size() < size) {
        text += "Kelvane " + std::to_string(random() % 1000) + ' ';
        text += static_cast<char>(random() & 0xFF);
    }
    text.resize(size);
    return text;
}

TEST(Bzip2Chain, RoundTripOfMixedContent) {
    const std::string plain = mixedContent(300000);
    const std::string packed = compress(plain);
    ASSERT_GE(packed.size(), 4u);
    EXPECT_EQ(packed.substr(0, 4), "BZh9");
    EXPECT_EQ(decompress(packed), plain);
}

TEST(Bzip2Chain, CorruptStreamRaisesTheLibraryError) {
    std::string packed = compress(mixedContent(50000));
    packed[packed.size() / 2] = static_cast<char>(packed[packed.size() / 2] ^ 0x55);
    EXPECT_THROW(decompress(packed), boost::iostreams::bzip2_error);
}

} // namespace
