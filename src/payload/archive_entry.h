#pragma once
// One file of the payload archive as the entry table describes it.

#include <cstdint>
#include <string>
#include <string_view>

namespace payload {

// What an entry is: the one table of the kinds, as name and value. The names
// are those of the enumeration below and of the packer's manifest and
// listing; the installation treats some kinds specially (its entry policy).
// Any other value is installed like a language module.
#define PAYLOAD_ENTRY_KINDS(KIND)                                                                  \
    KIND(LanguageModule, 0)                                                                        \
    KIND(MainProgram, 1)                                                                           \
    KIND(Uninstaller, 2)                                                                           \
    KIND(DataFile, 3)                                                                              \
    KIND(Sample, 4)                                                                                \
    KIND(TemporaryFile, 5)

#define PAYLOAD_ENTRY_KIND_ENUMERATOR(name, value) name = value,
enum EntryKind : std::uint32_t { PAYLOAD_ENTRY_KINDS(PAYLOAD_ENTRY_KIND_ENUMERATOR) };
#undef PAYLOAD_ENTRY_KIND_ENUMERATOR

struct EntryKindName {
    EntryKind kind;
    std::string_view name;
};

#define PAYLOAD_ENTRY_KIND_NAME(name, value) EntryKindName{name, #name},
// The kinds with their names, in the order of their values.
inline constexpr EntryKindName entryKinds[] = {PAYLOAD_ENTRY_KINDS(PAYLOAD_ENTRY_KIND_NAME)};
#undef PAYLOAD_ENTRY_KIND_NAME
#undef PAYLOAD_ENTRY_KINDS

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

// Whether a name can be a file's name inside a folder without escaping it or
// naming something else: not empty, not "." or "..", no character Windows
// forbids in a name (control characters and < > : " / \ | ? *, which covers
// drive and stream separators), and not a reserved device name such as "CON"
// or "lpt1.txt".
bool isSafeFileName(std::wstring_view name);

} // namespace payload
