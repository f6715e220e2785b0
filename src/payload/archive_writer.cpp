#include "payload/archive_writer.h"

#include "payload/crc32.h"
#include "support/utf16.h"

#include <stdexcept>

namespace payload {

namespace {

void appendLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

void appendString(std::string& out, const std::wstring& text) {
    appendLittleEndian(out, tw::utf16Length(text), 4);
    tw::appendUtf16le(out, text);
}

} // namespace

std::uint64_t recordSize(const ArchiveEntry& entry) {
    return entryRecordFixedSize + 2 * tw::utf16Length(entry.source) +
           2 * tw::utf16Length(entry.destination);
}

std::string encodeHeader(const std::vector<ArchiveEntry>& entries) {
    std::uint64_t dataOffset = archiveHeaderFixedSize;
    for (const ArchiveEntry& entry : entries) {
        dataOffset += recordSize(entry);
    }
    if (dataOffset >= (std::uint64_t{1} << 32)) {
        throw std::length_error("the archive's entry table is too large");
    }
    std::string header;
    header.reserve(static_cast<std::size_t>(dataOffset));
    appendLittleEndian(header, dataOffset, 8);
    appendLittleEndian(header, entries.size(), 4);
    for (const ArchiveEntry& entry : entries) {
        appendString(header, entry.source);
        appendString(header, entry.destination);
        appendLittleEndian(header, entry.kind, 4);
        appendLittleEndian(header, entry.size, 8);
        appendLittleEndian(header, entry.crc, 4);
    }
    return header;
}

std::string writeArchive(std::vector<ArchiveEntry> entries,
                         const std::vector<std::string>& contents) {
    if (entries.size() != contents.size()) {
        throw std::invalid_argument("one content per entry is needed");
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].size = contents[i].size();
        entries[i].crc = crc32(contents[i].data(), contents[i].size());
    }
    std::string archive = encodeHeader(entries);
    for (const std::string& content : contents) {
        archive += content;
    }
    return archive;
}

} // namespace payload
