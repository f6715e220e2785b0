#include "payload/archive_extractor.h"

#include "payload/archive_writer.h"
#include "payload/compress_error.h"
#include "support/error.h"
#include "support/path_text.h"
#include "support/utf16.h"

#include <algorithm>
#include <optional>

namespace payload {

namespace {

constexpr std::uint64_t dataOffsetLimit = std::uint64_t{1} << 32;

std::uint64_t readLittleEndian(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

// Reads the fields of the header in order; any read past its end is a
// malformed archive.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes)
        : bytes_(bytes) {}

    std::uint64_t number(int size) {
        need(static_cast<std::uint64_t>(size));
        const std::uint64_t value = readLittleEndian(bytes_.data() + offset_, size);
        offset_ += static_cast<std::size_t>(size);
        return value;
    }

    std::wstring text() {
        const std::uint64_t units = number(4);
        need(2 * units);
        std::wstring value =
            tw::decodeUtf16le(bytes_.data() + offset_, static_cast<std::size_t>(units));
        offset_ += static_cast<std::size_t>(2 * units);
        return value;
    }

    std::uint64_t left() const noexcept { return bytes_.size() - offset_; }

private:
    void need(std::uint64_t size) const {
        if (size > left()) {
            raise(compress_errc::unexpected);
        }
    }

    std::string_view bytes_;
    std::size_t offset_ = 0;
};

} // namespace

std::uint64_t readDataOffset(std::string_view field) {
    if (field.size() < dataOffsetSize) {
        raise(compress_errc::unexpected);
    }
    return readLittleEndian(field.data(), static_cast<int>(dataOffsetSize));
}

bool isValidDataOffset(std::uint64_t offset) {
    return offset >= archiveHeaderFixedSize && offset < dataOffsetLimit;
}

std::vector<ArchiveEntry> parseEntryTable(std::string_view header) {
    FieldReader reader(header);
    reader.number(8); // the data offset, which the header's size already is
    const std::uint64_t count = reader.number(4);
    if (count > reader.left() / entryRecordFixedSize) {
        raise(compress_errc::unexpected);
    }
    std::vector<ArchiveEntry> entries(static_cast<std::size_t>(count));
    for (ArchiveEntry& entry : entries) {
        entry.source = reader.text();
        entry.destination = reader.text();
        entry.kind = static_cast<std::uint32_t>(reader.number(4));
        entry.size = reader.number(8);
        entry.crc = static_cast<std::uint32_t>(reader.number(4));
        if (!isSafeFileName(tw::fileName(entry.source))) {
            raise(compress_errc::unexpected);
        }
    }
    if (reader.left() != 0) {
        raise(compress_errc::unexpected); // the data offset does not end the table
    }
    return entries;
}

ArchiveExtractor::ArchiveExtractor(BaseFolders folders, Observer observer, ExtractionTarget& target)
    : observer_(std::move(observer))
    , target_(target)
    , shared_(
          [&target](const std::wstring& a, const std::wstring& b) { return target.samePath(a, b); })
    , resolver_(
          std::move(folders), [&target](int csidl) { return target.shellFolder(csidl); }, shared_) {
}

std::uint64_t ArchiveExtractor::write(const char* bytes, std::uint64_t n) {
    if (failed_) {
        return n;
    }
    if (n == 0) {
        return 0;
    }
    try {
        if (current_ == 0) {
            return collectHeader(bytes, n);
        }
        if (current_ > entries_.size()) {
            raise(compress_errc::unexpected); // more bytes than the table accounts for
        }
        return processEntry(bytes, n);
    } catch (...) {
        recordFailure();
        throw;
    }
}

void ArchiveExtractor::finish() {
    if (failed_) {
        return;
    }
    try {
        while (current_ >= 1 && current_ <= entries_.size() && !opened_ &&
               entries_[current_ - 1].size == 0) {
            processEntry(nullptr, 0);
        }
    } catch (...) {
        recordFailure();
        throw;
    }
}

void ArchiveExtractor::recordFailure() {
    failed_ = true;
    if (opened_ && !skipped_ && current_ >= 1 && current_ <= entries_.size()) {
        failureText_ = entries_[current_ - 1].destination;
    }
}

std::uint64_t ArchiveExtractor::collectHeader(const char* bytes, std::uint64_t n) {
    if (header_.size() < dataOffsetSize) {
        const std::uint64_t take = std::min<std::uint64_t>(n, dataOffsetSize - header_.size());
        header_.append(bytes, static_cast<std::size_t>(take));
        if (header_.size() == dataOffsetSize) {
            dataOffset_ = readDataOffset(header_);
            if (!isValidDataOffset(dataOffset_)) {
                raise(compress_errc::unexpected);
            }
        }
        return take;
    }
    const std::uint64_t take = std::min<std::uint64_t>(n, dataOffset_ - header_.size());
    header_.append(bytes, static_cast<std::size_t>(take));
    if (header_.size() == dataOffset_) {
        completeHeader();
    }
    return take;
}

void ArchiveExtractor::completeHeader() {
    entries_ = parseEntryTable(header_);
    std::uint64_t total = dataOffset_;
    for (ArchiveEntry& entry : entries_) {
        const std::wstring folder = resolver_.resolveFolder(entry.destination);
        entry.destination = joinPath(folder, tw::fileName(entry.source));
        if (entry.size > UINT64_MAX - total) {
            raise(compress_errc::unexpected);
        }
        total += entry.size;
    }
    position_ = dataOffset_;
    total_ = total;
    std::string().swap(header_); // only the entries are needed from here on
    notifyProgress();
    current_ = 1;
}

void ArchiveExtractor::notifyProgress() {
    if (notify(observer_, {notification::progress{position_, total_}}) ==
        notification::result::abort) {
        raise(compress_errc::interrupted);
    }
}

std::uint64_t ArchiveExtractor::processEntry(const char* bytes, std::uint64_t n) {
    const ArchiveEntry& entry = entries_[current_ - 1];
    if (!opened_) {
        openEntry(entry);
    }
    const std::uint64_t v = std::min(n, remaining_);
    if (!skipped_ && v > 0) {
        file_->write(bytes, static_cast<std::size_t>(v));
    }
    remaining_ -= v;
    position_ += v;
    notifyProgress();
    if (remaining_ == 0) {
        completeEntry(entry);
    }
    return v;
}

void ArchiveExtractor::openEntry(const ArchiveEntry& entry) {
    const notification::result answer = notify(
        observer_, {notification::entry_begin{entry, shared_.outermostHolding(entry.destination)}});
    if (answer == notification::result::abort) {
        raise(compress_errc::interrupted);
    }
    skipped_ = answer == notification::result::skip;
    if (!skipped_) {
        target_.prepareOutput(entry.destination);
        target_.grantSharedFolders(shared_, tw::parentPath(entry.destination));
        file_ = target_.createOutput(entry.destination);
    }
    opened_ = true;
    remaining_ = entry.size;
}

void ArchiveExtractor::completeEntry(const ArchiveEntry& entry) {
    if (!skipped_) {
        file_->close();
        file_.reset();
        if (readBackCrc(entry.destination) != entry.crc) {
            raise(compress_errc::invalid_checksum);
        }
        if (notify(observer_, {notification::entry_end{entry}}) == notification::result::abort) {
            raise(compress_errc::interrupted);
        }
    }
    opened_ = false;
    skipped_ = false;
    ++current_;
}

std::uint32_t ArchiveExtractor::readBackCrc(const std::wstring& path) {
    // Another process (a virus scanner, an indexer) may hold a file that was
    // just closed: wait and try again, four attempts in all.
    constexpr int attempts = 4;
    for (int attempt = 1;; ++attempt) {
        if (const std::optional<std::uint32_t> crc = target_.readBackCrc(path)) {
            return *crc;
        }
        if (attempt == attempts) {
            tw::throwWin32Error(sharingViolation, "the file is held by another process");
        }
        target_.waitBeforeRetry();
    }
}

std::streamsize ArchiveSink::write(const char* bytes, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n) {
        done += static_cast<std::streamsize>(
            extractor_->write(bytes + done, static_cast<std::uint64_t>(n - done)));
    }
    return n;
}

} // namespace payload
