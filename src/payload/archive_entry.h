#pragma once
// One file of the payload archive as the entry table describes it.

#include <cstdint>
#include <string>
#include <string_view>

namespace payload {

// What an entry is; the installation treats some kinds specially. Any other
// value is installed like a language module.
enum EntryKind : std::uint32_t {
    LanguageModule = 0,
    MainProgram = 1,
    Uninstaller = 2,
    DataFile = 3,
    Sample = 4,
    TemporaryFile = 5,
};

struct ArchiveEntry {
    // The file's path on the packing machine; only its last component is used.
    std::wstring source;
    // The destination folder in token form; once the header has been read,
    // the full path of the file to write.
    std::wstring destination;
    std::uint32_t kind = LanguageModule;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

// The last component of a path whose components are separated by "\" or "/".
std::wstring_view lastComponent(std::wstring_view path);

// Whether a name can be a file's name inside a folder without escaping it or
// naming something else: not empty, not "." or "..", no character Windows
// forbids in a name (control characters and < > : " / \ | ? *, which covers
// drive and stream separators), and not a reserved device name such as "CON"
// or "lpt1.txt".
bool isSafeFileName(std::wstring_view name);

} // namespace payload
