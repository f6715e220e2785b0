// Feeds bzip2 streams to the sequential and the parallel decoder and requires
// the same bytes, or the same error from both, with the parallel decoder
// handing on no byte that the sequential one does not; the parallel decoder
// that only checks the data must fail alike. A quarter of the
// inputs are taken as they are; the rest are multi-block streams made from
// them (blocks of 100 000 bytes) or, one in eight, the stream whose first
// block holds a block magic by chance, which are then cut at one of their
// magics, have bytes changed, or get bytes appended.
#include "payload/bzip2_decoder.h"
#include "payload/compress_error.h"
#include "payload/stream_source.h"

#include "bzip2_streams.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

struct Outcome {
    std::string bytes;
    std::error_code error;
};

// Decodes, keeping the bytes, or without an output only checking the data.
Outcome decode(const std::string& packed, unsigned threads, bool keep = true) {
    std::istringstream stream(packed);
    payload::StreamSource source(stream);
    Outcome outcome;
    std::function<void(const char*, std::size_t)> output;
    if (keep) {
        output = [&](const char* bytes, std::size_t n) { outcome.bytes.append(bytes, n); };
    }
    try {
        const auto result = payload::decodeBzip2(source, output, threads);
        check(result.complete && result.read == packed.size());
    } catch (...) {
        outcome.error = payload::errorCodeOf(std::current_exception());
    }
    return outcome;
}

const std::string& chanceMagic() {
    static const std::string packed = [] {
        std::string plain;
        return chanceMagicStream(plain);
    }();
    return packed;
}

std::string makeStream(FuzzedDataProvider& input) {
    const unsigned kind = input.ConsumeIntegralInRange(0, 7);
    if (kind < 2) {
        return input.ConsumeRemainingBytesAsString();
    }
    std::string packed;
    if (kind == 2) {
        packed = chanceMagic();
    } else {
        const std::string seed = input.ConsumeRandomLengthString(4096);
        const auto size = input.ConsumeIntegralInRange<std::size_t>(0, 300'000);
        std::string plain =
            mixedContents(size, static_cast<unsigned>(std::hash<std::string>{}(seed)));
        plain.replace(0, std::min(seed.size(), plain.size()), seed);
        packed = compressAtLevel(plain, 1);
    }
    const std::vector<std::uint64_t> magics = magicOffsets(packed);
    if (!magics.empty() && input.ConsumeBool()) {
        const std::uint64_t cut =
            magics[input.ConsumeIntegralInRange<std::size_t>(0, magics.size() - 1)];
        packed.resize(cut / 8 + input.ConsumeIntegralInRange(0, 12));
    }
    for (int changes = input.ConsumeIntegralInRange(0, 3); changes > 0 && !packed.empty();
         --changes) {
        packed[input.ConsumeIntegralInRange<std::size_t>(0, packed.size() - 1)] ^=
            static_cast<char>(input.ConsumeIntegralInRange(1, 255));
    }
    packed += input.ConsumeRemainingBytesAsString();
    return packed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string packed = makeStream(input);
    const Outcome sequential = decode(packed, 1);
    const Outcome parallel = decode(packed, 2);
    check(sequential.error == parallel.error);
    check(decode(packed, 2, false).error == sequential.error);
    if (sequential.error) {
        check(sequential.bytes.compare(0, parallel.bytes.size(), parallel.bytes) == 0);
    } else {
        check(sequential.bytes == parallel.bytes);
        check(decodeWithLibbz2(packed) == sequential.bytes);
    }
    return 0;
}
