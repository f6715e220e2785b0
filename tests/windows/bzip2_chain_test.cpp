// The bzip2 chain the payload travels through: Boost.Iostreams' filters over
// the libbz2 built for Windows.
#include "test_data.h"

#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

namespace io = boost::iostreams;

namespace {

using testing_support::compress;

// Into a string stream, as compress() does: GCC 12 sees a false overlap in
// the inlined back-inserter at -O3.
std::string decompress(const std::string& packed) {
    std::ostringstream plain;
    io::filtering_ostream out;
    out.push(io::bzip2_decompressor());
    out.push(plain);
    io::copy(io::array_source(packed.data(), packed.size()), out);
    return plain.str();
}

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
    EXPECT_THROW(decompress(packed), io::bzip2_error);
}

} // namespace
