#include "test_data.h"

#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include <sstream>

namespace testing_support {

namespace io = boost::iostreams;

std::string pattern(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + seed * 7) ^ (i >> 5));
    }
    return bytes;
}

// Into a string stream rather than a back-inserter: MinGW's GCC 12 sees a
// false overlap (-Wrestrict) in the inlined back-inserter at -O3.
std::string compress(const std::string& plain) {
    std::ostringstream packed;
    io::filtering_ostream out;
    out.push(io::bzip2_compressor(io::bzip2_params(9)));
    out.push(packed);
    out.write(plain.data(), static_cast<std::streamsize>(plain.size()));
    out.reset();
    return packed.str();
}

std::string decompress(const std::string& packed) {
    std::ostringstream plain;
    io::filtering_ostream out;
    out.push(io::bzip2_decompressor());
    out.push(plain);
    // Through the stream buffers, so that the decompressor's error is raised
    // rather than turned into the stream's bad state.
    io::copy(io::array_source(packed.data(), packed.size()), out);
    return plain.str();
}

std::wstring widenLatin1(std::string_view text) {
    std::wstring wide;
    for (const char c : text) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

} // namespace testing_support
