#pragma once
// Contents for the tests of the payload, shared by the native, Windows and
// fuzz tests: patterned bytes, and bzip2 streams as the packer writes them.

#include <cstddef>
#include <string>

namespace testing_support {

// size bytes of a pattern that differs with the seed and repeats only after
// a long stretch, so that a misplaced or lost block shows.
std::string pattern(std::size_t size, unsigned seed);

// The bytes as one bzip2 stream of block size 9, as the packer writes payloads.
std::string compress(const std::string& plain);

} // namespace testing_support
