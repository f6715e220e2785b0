#pragma once
// Reading the payload archive (its layout is described in archive_writer.h)
// strictly sequentially, as the decompressed bytes flow by: the reader keeps
// only the header and hands each entry's contents on as they arrive. The
// archive is never seeked in nor held in memory as a whole.

#include "payload/archive_entry.h"
#include "payload/destination.h"
#include "payload/extraction_target.h"
#include "payload/notification.h"
#include "payload/shared_folder_list.h"

#include <boost/iostreams/categories.hpp>

#include <cstdint>
#include <exception>
#include <ios>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace payload {

// The Windows error of a file that another process holds open so that it
// cannot be opened (ERROR_SHARING_VIOLATION).
constexpr int sharingViolation = 32;

// The size of the data offset that opens an archive.
constexpr std::size_t dataOffsetSize = 8;

// The data offset held by the first dataOffsetSize bytes of an archive (the
// field may be longer). Raises error 7 of the compress category when it is
// shorter.
std::uint64_t readDataOffset(std::string_view field);

// Whether a data offset can end a header: no smaller than the header's fixed
// part and below 4 GiB.
bool isValidDataOffset(std::uint64_t offset);

// The entries of a complete header (data offset, count and entry table, and
// nothing else). Raises error 7 of the compress category when the table does
// not fit the header exactly (a string or record running past its end, a
// count the table cannot hold, bytes left over) or when an entry's file name
// is not a safe file name.
std::vector<ArchiveEntry> parseEntryTable(std::string_view header);

class ArchiveExtractor {
public:
    ArchiveExtractor(BaseFolders folders, Observer observer, ExtractionTarget& target);
    ArchiveExtractor(const ArchiveExtractor&) = delete;
    ArchiveExtractor& operator=(const ArchiveExtractor&) = delete;

    // Consumes between 0 and n of the offered bytes, at most the rest of the
    // current phase: the 8 bytes of the data offset, then the rest of the
    // header, then the rest of the current entry. The caller offers the rest
    // again. Once a call has failed, every later call swallows all its bytes.
    //
    // For each entry: entry_begin when its first byte arrives (abort raises
    // error 5, skip discards its bytes), then its file is prepared, created
    // and written, progress follows every chunk, and when the entry is
    // complete the file is closed, read back and its CRC-32 compared (error 3
    // when it differs) before entry_end. A skipped entry still advances the
    // position and sends progress, but no entry_end.
    std::uint64_t write(const char* bytes, std::uint64_t n);

    // Called when no more bytes will come: handles the empty entries that
    // follow the last byte of contents.
    void finish();

    // Whether exactly the bytes the header announces have been consumed.
    bool complete() const noexcept { return total_ != 0 && position_ == total_; }

    std::uint64_t position() const noexcept { return position_; }
    std::uint64_t total() const noexcept { return total_; }
    const std::vector<ArchiveEntry>& entries() const noexcept { return entries_; }

    bool failed() const noexcept { return failed_; }
    // The full path of the entry whose file was open when the failure happened.
    const std::wstring& failureText() const noexcept { return failureText_; }

private:
    std::uint64_t collectHeader(const char* bytes, std::uint64_t n);
    void completeHeader();
    std::uint64_t processEntry(const char* bytes, std::uint64_t n);
    void openEntry(const ArchiveEntry& entry);
    void completeEntry(const ArchiveEntry& entry);
    std::uint32_t readBackCrc(const std::wstring& path);
    void recordFailure();
    void notifyProgress();

    Observer observer_;
    ExtractionTarget& target_;
    SharedFolderList shared_;
    DestinationResolver resolver_;

    std::string header_;
    std::uint64_t dataOffset_ = 0;
    std::vector<ArchiveEntry> entries_;
    std::size_t current_ = 0; // 0 while the header is collected, else entry number
    std::uint64_t position_ = 0;
    std::uint64_t total_ = 0;

    std::uint64_t remaining_ = 0; // bytes still expected for the current entry
    bool opened_ = false;
    bool skipped_ = false;
    std::unique_ptr<OutputFile> file_;

    bool failed_ = false;
    std::wstring failureText_;
};

// The Boost.Iostreams sink over an extractor: it offers each buffer to the
// extractor until all of it is consumed, because the stream buffers flush a
// sink only once when they close.
class ArchiveSink {
public:
    using char_type = char;
    using category = boost::iostreams::sink_tag;

    explicit ArchiveSink(ArchiveExtractor& extractor) noexcept
        : extractor_(&extractor) {}

    std::streamsize write(const char* bytes, std::streamsize n);

private:
    ArchiveExtractor* extractor_;
};

} // namespace payload
