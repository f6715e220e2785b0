#pragma once
// Building a payload from a manifest, and listing and verifying a payload.

#include "packer/manifest.h"
#include "payload/archive_entry.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <ostream>
#include <vector>

namespace packer {

struct PackSummary {
    std::size_t entries = 0;
    std::uint64_t dataOffset = 0;
    std::uint64_t archiveSize = 0;    // decompressed
    std::uint64_t compressedSize = 0; // the payload file
};

// Reads every source of the manifest, computes sizes and CRC-32s, writes the
// archive and compresses it into one bzip2 stream of block size 9 at output
// (written beside it first, then renamed, so a failed run leaves no payload).
// Raises ManifestError for a source that is missing, unreadable or changes
// while it is packed.
PackSummary pack(const std::vector<ManifestLine>& lines, const std::filesystem::path& output);

struct ListedEntry {
    payload::ArchiveEntry entry; // the destination in token form, as stored
    std::uint64_t present = 0;   // contents bytes actually in the archive
    std::uint32_t actualCrc = 0; // the CRC-32 of those bytes

    bool matches() const noexcept { return present == entry.size && actualCrc == entry.crc; }
};

struct Listing {
    std::uint64_t dataOffset = 0;
    std::vector<ListedEntry> entries;
    std::uint64_t archiveSize = 0; // decompressed bytes read
    bool trailing = false;         // bytes follow the last entry's contents

    // Every entry complete with a matching CRC, and nothing after them.
    bool ok() const noexcept;
};

// Decompresses a payload as a stream and checks every entry. Raises
// std::runtime_error when the header is truncated or malformed and
// boost::iostreams::bzip2_error when the compressed data is corrupt.
Listing listPayload(std::istream& compressed);

// One line per entry (number, kind, size, CRC, check, destination, file name)
// and a summary line.
void printListing(const Listing& listing, std::ostream& out);

} // namespace packer
