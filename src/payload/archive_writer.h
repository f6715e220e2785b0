#pragma once
// Writing the payload archive.
//
// The archive, before bzip2 compression. Integers are little-endian and
// unsigned; strings are UTF-16LE without terminator, preceded by their length
// in UTF-16 code units.
//
//   offset       size  field
//   0            8     data offset: 12 + size of the entry table, below 2^32
//   8            4     entry count
//   12           ...   entry table: the records, back to back
//   data offset  ...   the contents of every entry, in table order, back to back
//
// An entry record (24 bytes + 2 x the two string lengths):
//   4  source length      2 x n  source (only its last component, the file name, is used)
//   4  destination length 2 x n  destination folder, in token form ("<InstallPath>\Lang")
//   4  kind               8      size of the contents      4  CRC-32 of the contents
//
// The archive ends exactly after the last entry's contents; it has no trailer.

#include "payload/archive_entry.h"

#include <string>
#include <vector>

namespace payload {

constexpr std::uint64_t archiveHeaderFixedSize = 12;
constexpr std::uint64_t entryRecordFixedSize = 24;

// The size of an entry's record in the table.
std::uint64_t recordSize(const ArchiveEntry& entry);

// The header: data offset, entry count and the entry table, as written before
// the contents. Raises std::length_error when the table would put the data
// offset at or above 2^32.
std::string encodeHeader(const std::vector<ArchiveEntry>& entries);

// A whole archive: the header of the entries followed by the contents, one per
// entry. Sizes and CRCs of the entries are taken from the contents.
std::string writeArchive(std::vector<ArchiveEntry> entries,
                         const std::vector<std::string>& contents);

} // namespace payload
