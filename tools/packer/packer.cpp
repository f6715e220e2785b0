#include "packer/packer.h"

#include "payload/archive_extractor.h"
#include "payload/archive_writer.h"
#include "payload/crc32.h"
#include "support/path_text.h"

#include <boost/iostreams/device/file.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <system_error>

namespace io = boost::iostreams;

namespace packer {

namespace {

constexpr std::size_t chunk = 64 * 1024;

struct FileDigest {
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

// Reads a source file through, handing every chunk to the callback.
template <typename Chunk>
FileDigest readSource(const ManifestLine& line, Chunk&& onChunk) {
    std::ifstream in(line.source, std::ios::binary);
    if (!in) {
        throw ManifestError(line.line,
                            "cannot read '" + line.source.string() + "': " + std::strerror(errno));
    }
    FileDigest digest;
    std::array<char, chunk> buffer;
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        const auto got = static_cast<std::size_t>(in.gcount());
        digest.size += got;
        digest.crc = payload::crc32(buffer.data(), got, digest.crc);
        onChunk(buffer.data(), got);
    }
    if (in.bad()) {
        throw ManifestError(line.line, "error while reading '" + line.source.string() + "'");
    }
    return digest;
}

// Reads up to n bytes; fewer only at the end of the stream.
std::size_t readUpTo(std::istream& in, char* bytes, std::size_t n) {
    in.read(bytes, static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(in.gcount());
}

} // namespace

PackSummary pack(const std::vector<ManifestLine>& lines, const std::filesystem::path& output) {
    std::vector<payload::ArchiveEntry> entries;
    for (const ManifestLine& line : lines) {
        const FileDigest digest = readSource(line, [](const char*, std::size_t) {});
        entries.push_back({line.source.filename().wstring(), line.destination, line.kind,
                           digest.size, digest.crc});
    }
    const std::string header = payload::encodeHeader(entries);

    std::filesystem::path partial = output;
    partial += ".partial";
    PackSummary summary{entries.size(), header.size(), header.size(), 0};
    try {
        io::filtering_ostream out;
        out.push(io::bzip2_compressor(io::bzip2_params(9)));
        out.push(io::file_sink(partial.string(), std::ios::binary | std::ios::trunc));
        out.exceptions(std::ios::badbit | std::ios::failbit);
        out.write(header.data(), static_cast<std::streamsize>(header.size()));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const FileDigest again = readSource(lines[i], [&](const char* bytes, std::size_t n) {
                out.write(bytes, static_cast<std::streamsize>(n));
            });
            if (again.size != entries[i].size || again.crc != entries[i].crc) {
                throw ManifestError(lines[i].line,
                                    "'" + lines[i].source.string() + "' changed while packing");
            }
            summary.archiveSize += again.size;
        }
        out.reset(); // flushes the compressor and closes the file
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw;
    }
    std::filesystem::rename(partial, output);
    summary.compressedSize = std::filesystem::file_size(output);
    return summary;
}

bool Listing::ok() const noexcept {
    if (trailing) {
        return false;
    }
    for (const ListedEntry& listed : entries) {
        if (!listed.matches()) {
            return false;
        }
    }
    return true;
}

Listing listPayload(std::istream& compressed) {
    io::filtering_istream in;
    in.push(io::bzip2_decompressor());
    in.push(compressed);
    in.exceptions(std::ios::badbit); // only now: an incomplete chain counts as bad

    Listing listing;
    std::string header(payload::dataOffsetSize, '\0');
    if (readUpTo(in, header.data(), header.size()) != header.size()) {
        throw std::runtime_error("the archive ends inside its data offset");
    }
    listing.dataOffset = payload::readDataOffset(header);
    if (!payload::isValidDataOffset(listing.dataOffset)) {
        throw std::runtime_error("the data offset " + std::to_string(listing.dataOffset) +
                                 " is out of range");
    }
    header.resize(static_cast<std::size_t>(listing.dataOffset));
    const std::size_t rest = header.size() - payload::dataOffsetSize;
    if (readUpTo(in, header.data() + payload::dataOffsetSize, rest) != rest) {
        throw std::runtime_error("the archive ends inside its header");
    }
    try {
        for (payload::ArchiveEntry& entry : payload::parseEntryTable(header)) {
            listing.entries.push_back({std::move(entry), 0, 0});
        }
    } catch (const std::system_error&) {
        throw std::runtime_error("the entry table does not fit the header");
    }
    listing.archiveSize = listing.dataOffset;

    std::array<char, chunk> buffer;
    for (ListedEntry& listed : listing.entries) {
        while (listed.present < listed.entry.size) {
            const std::size_t want = static_cast<std::size_t>(
                std::min<std::uint64_t>(buffer.size(), listed.entry.size - listed.present));
            const std::size_t got = readUpTo(in, buffer.data(), want);
            listed.actualCrc = payload::crc32(buffer.data(), got, listed.actualCrc);
            listed.present += got;
            listing.archiveSize += got;
            if (got < want) {
                return listing; // truncated: this and the following entries are short
            }
        }
    }
    listing.trailing = readUpTo(in, buffer.data(), 1) != 0;
    return listing;
}

void printListing(const Listing& listing, std::ostream& out) {
    out << "  #  kind            size        crc       check     destination / name\n";
    int number = 0;
    for (const ListedEntry& listed : listing.entries) {
        const payload::ArchiveEntry& entry = listed.entry;
        const char* check = listed.matches()              ? "ok"
                            : listed.present < entry.size ? "SHORT"
                                                          : "MISMATCH";
        out << std::setw(3) << ++number << "  " << std::left << std::setw(14)
            << kindName(entry.kind) << std::right << std::setw(10) << entry.size << "  " << std::hex
            << std::uppercase << std::setfill('0') << std::setw(8) << entry.crc << std::dec
            << std::setfill(' ') << "  " << std::left << std::setw(8) << check << std::right << "  "
            << toUtf8(entry.destination) << "  " << toUtf8(std::wstring(tw::fileName(entry.source)))
            << '\n';
    }
    out << listing.entries.size() << " entries, data offset " << listing.dataOffset << ", "
        << listing.archiveSize << " bytes decompressed";
    if (listing.trailing) {
        out << ", with bytes after the last entry";
    }
    out << (listing.ok() ? "; every CRC matches\n" : "; THE PAYLOAD IS DAMAGED\n");
}

} // namespace packer
