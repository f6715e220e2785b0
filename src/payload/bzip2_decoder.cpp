#include "payload/bzip2_decoder.h"

#include "payload/compress_error.h"
#include "payload/parallel_decoder.h"

#include <boost/iostreams/filter/bzip2.hpp>

#include <algorithm>
#include <array>
#include <string>
#include <thread>
#include <vector>

namespace payload {

namespace {

constexpr std::size_t chunkSize = 4096;
constexpr std::size_t readAhead = 64 * 1024; // the pieces the parallel decoder reads

// Raised inside when the source fails; decoding ends without completing.
struct SourceFailed {};

// Gathers output into pieces of chunkSize that begin at multiples of it.
class ChunkFeed {
public:
    using char_type = char;
    using category = boost::iostreams::sink_tag;

    explicit ChunkFeed(const DecodedOutput& output)
        : output_(output) {}

    std::streamsize write(const char* bytes, std::streamsize n) {
        if (!output_) {
            return n;
        }
        std::size_t size = static_cast<std::size_t>(n);
        while (size > 0) {
            if (held_ == 0 && size >= chunkSize) {
                output_(bytes, chunkSize);
                bytes += chunkSize, size -= chunkSize;
                continue;
            }
            const std::size_t take = std::min(size, chunkSize - held_);
            std::copy(bytes, bytes + take, chunk_.begin() + static_cast<long>(held_));
            held_ += take, bytes += take, size -= take;
            if (held_ == chunkSize) {
                flush();
            }
        }
        return n;
    }

    // Hands on what is held.
    void flush() {
        if (held_ > 0) {
            const std::size_t size = held_;
            held_ = 0;
            output_(chunk_.data(), size);
        }
    }

private:
    const DecodedOutput& output_;
    std::array<char, chunkSize> chunk_;
    std::size_t held_ = 0;
};

// Reads the source in pieces and counts the bytes.
class Input {
public:
    explicit Input(ByteSource& source)
        : source_(source) {}

    std::string_view next(std::size_t size) {
        buffer_.resize(size);
        const std::size_t got = source_.read(buffer_.data(), size);
        if (got == 0) {
            if (source_.failed()) {
                throw SourceFailed();
            }
            return {};
        }
        read += got;
        return {buffer_.data(), got};
    }

    std::uint64_t read = 0;

private:
    ByteSource& source_;
    std::vector<char> buffer_;
};

// Boost's decompressor over what was read already and the rest of the source.
void decodeSequentially(std::string_view already, Input& input, ChunkFeed& feed) {
    boost::iostreams::bzip2_decompressor decompressor(false, chunkSize);
    const auto write = [&](std::string_view bytes) {
        const auto size = static_cast<std::streamsize>(bytes.size());
        if (decompressor.write(feed, bytes.data(), size) != size) {
            raise(compress_errc::bzip2); // bytes the decompressor would not take
        }
    };
    write(already);
    for (std::string_view piece = input.next(chunkSize); !piece.empty();
         piece = input.next(chunkSize)) {
        write(piece);
    }
    decompressor.close(feed, std::ios_base::out);
}

} // namespace

unsigned decodingThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

DecodeResult decodeBzip2(ByteSource& source, const DecodedOutput& output, unsigned threads) {
    Input input(source);
    ChunkFeed feed(output);
    try {
        if (threads <= 1) {
            decodeSequentially({}, input, feed);
        } else {
            DecodedOutput toFeed;
            if (output) {
                toFeed = [&](const char* bytes, std::size_t n) {
                    feed.write(bytes, static_cast<std::streamsize>(n));
                };
            }
            const std::string after =
                decodeFirstStream([&] { return input.next(readAhead); }, toFeed, threads);
            const std::string_view more = after.empty() ? input.next(chunkSize) : after;
            if (!more.empty()) {
                decodeSequentially(more, input, feed);
            }
        }
    } catch (const SourceFailed&) {
        return {input.read, false};
    }
    feed.flush();
    return {input.read, true};
}

} // namespace payload
