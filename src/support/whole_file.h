#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// The whole contents of a file of at most `largest` bytes, read through one
// handle opened for reading (others may read too) with `flags`; nothing when
// the file cannot be opened, is larger, or cannot be read whole.
std::optional<std::vector<std::uint8_t>>
readWholeFile(const std::wstring& path, std::int64_t largest, DWORD flags = FILE_ATTRIBUTE_NORMAL);

} // namespace tw
