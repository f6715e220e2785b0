#pragma once
// Data for the tests, shared by the native, Windows and fuzz tests: patterned
// bytes and bzip2 streams as the packer writes them for the payload, and an
// 8-bit code page for the uninstall log.

#include <cstddef>
#include <string>
#include <string_view>

namespace testing_support {

// size bytes of a pattern that differs with the seed and repeats only after
// a long stretch, so that a misplaced or lost block shows.
std::string pattern(std::size_t size, unsigned seed);

// The bytes as one bzip2 stream of block size 9, as the packer writes payloads.
std::string compress(const std::string& plain);

// What a bzip2 stream decompresses to; a corrupt stream raises
// boost::iostreams::bzip2_error.
std::string decompress(const std::string& packed);

// 8-bit text widened as Latin-1 (each byte the character of the same number):
// the code page the log tests read 8-bit logs in.
std::wstring widenLatin1(std::string_view text);

} // namespace testing_support
