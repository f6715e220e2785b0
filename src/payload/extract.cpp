#include "payload/extract.h"

#include "payload/archive_reader.h"
#include "payload/compress_error.h"

#include <boost/iostreams/filter/bzip2.hpp>

#include <array>
#include <memory>

namespace payload {

namespace {

constexpr std::streamsize chunkSize = 4096;

notification::result notify(const Observer& observer, notification message) {
    return observer ? observer(std::move(message)) : notification::result::proceed;
}

// A sink that counts and forgets.
struct DiscardSink {
    using char_type = char;
    using category = boost::iostreams::sink_tag;
    std::streamsize write(const char*, std::streamsize n) { return n; }
};

} // namespace

bool extract(std::istream& source, const BaseFolders& folders, const Observer& observer,
             ExtractionTarget& target) {
    std::unique_ptr<ArchiveExtractor> extractor;
    std::exception_ptr failure;
    try {
        notify(observer, {notification::started{}});
        extractor = std::make_unique<ArchiveExtractor>(folders, observer, target);
        ArchiveSink sink(*extractor);
        boost::iostreams::bzip2_decompressor decompressor(false, chunkSize);
        std::array<char, chunkSize> chunk;
        std::uint64_t copied = 0;
        while (source.read(chunk.data(), chunkSize) || source.gcount() > 0) {
            const std::streamsize got = source.gcount();
            copied += static_cast<std::uint64_t>(got);
            if (decompressor.write(sink, chunk.data(), got) != got) {
                raise(compress_errc::bzip2); // bytes the decompressor would not take
            }
        }
        if (source.bad()) {
            throw std::ios_base::failure("the payload cannot be read");
        }
        decompressor.close(sink, std::ios_base::out);
        extractor->finish();
        if (!extractor->complete()) {
            raise(compress_errc::unexpected);
        }
        notify(observer, {notification::finished{copied, extractor->total()}});
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

void validatePayload(std::istream& source) {
    boost::iostreams::bzip2_decompressor decompressor(false, chunkSize);
    DiscardSink sink;
    std::array<char, chunkSize> chunk;
    while (source.read(chunk.data(), chunkSize) || source.gcount() > 0) {
        decompressor.write(sink, chunk.data(), source.gcount());
    }
    if (source.bad() || !source.eof()) {
        raise(compress_errc::unknown);
    }
    decompressor.close(sink, std::ios_base::out);
    source.clear();
    if (!source.seekg(0)) {
        raise(compress_errc::unknown);
    }
}

} // namespace payload
