#include "payload/stream_source.h"

#include "payload/extract.h"

namespace payload {

std::size_t StreamSource::read(char* bytes, std::size_t size) {
    if (failed_) {
        return 0;
    }
    stream_.read(bytes, static_cast<std::streamsize>(size));
    const auto got = static_cast<std::size_t>(stream_.gcount());
    // Nothing read and no end reached: a stream that is not open, or broken.
    if (got == 0 && (stream_.bad() || !stream_.eof())) {
        failed_ = true;
    }
    return got;
}

bool StreamSource::rewind() {
    failed_ = false;
    stream_.clear();
    return static_cast<bool>(stream_.seekg(0));
}

bool extract(std::istream& source, const BaseFolders& folders, const Observer& observer,
             ExtractionTarget& target, unsigned threads) {
    StreamSource bytes(source);
    return extract(bytes, folders, observer, target, threads);
}

void validatePayload(std::istream& source, unsigned threads) {
    StreamSource bytes(source);
    validatePayload(bytes, threads);
}

} // namespace payload
