#pragma once
// Whole files for the GoogleTest layers: read and written in one piece.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// The whole contents of a file; nothing when it cannot be opened. On Windows
// the file is opened sharing reading, writing and deleting, so that a file a
// program under test holds open is read all the same.
std::optional<std::string> fileContents(const std::filesystem::path& path);

// Replaces the contents of a file, creating it when missing. A read-only
// file is made writable first, as the extraction does. Fails the running
// test when the file cannot be written.
void writeFile(const std::filesystem::path& path, std::string_view contents);
void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& contents);

} // namespace testing_support
