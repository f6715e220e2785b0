#include "payload/extract.h"

#include "payload/archive_extractor.h"
#include "payload/compress_error.h"

#include <memory>

namespace payload {

bool extract(ByteSource& source, const BaseFolders& folders, const Observer& observer,
             ExtractionTarget& target, unsigned threads) {
    std::unique_ptr<ArchiveExtractor> extractor;
    std::exception_ptr failure;
    try {
        notify(observer, {notification::started{}});
        extractor = std::make_unique<ArchiveExtractor>(folders, observer, target);
        ArchiveSink sink(*extractor);
        const DecodeResult decoded = decodeBzip2(
            source,
            [&](const char* bytes, std::size_t n) {
                sink.write(bytes, static_cast<std::streamsize>(n));
            },
            threads);
        if (!decoded.complete) {
            throw std::ios_base::failure("the payload cannot be read");
        }
        extractor->finish();
        if (!extractor->complete()) {
            raise(compress_errc::unexpected);
        }
        notify(observer, {notification::finished{decoded.read, extractor->total()}});
        return true;
    } catch (...) {
        failure = std::current_exception();
    }
    std::wstring text = extractor ? extractor->failureText() : std::wstring();
    if (text.empty()) {
        text = filesystemErrorPath(failure);
    }
    try {
        notify(observer, {notification::failed{errorCodeOf(failure), std::move(text)}});
    } catch (...) {
        // The failure is already being reported; a second one has nowhere to go.
    }
    return false;
}

void validatePayload(ByteSource& source, unsigned threads) {
    if (!decodeBzip2(source, {}, threads).complete) {
        raise(compress_errc::unknown);
    }
    if (!source.rewind()) {
        raise(compress_errc::unknown);
    }
}

} // namespace payload
