#pragma once
// A standard input stream as the source of an extraction, for the tools and
// tests that hold a payload in a file or a string. The installer reads its
// resource without the stream library (payload_resource.h).

#include "payload/byte_source.h"

#include <istream>

namespace payload {

class StreamSource final : public ByteSource {
public:
    explicit StreamSource(std::istream& stream) noexcept
        : stream_(stream) {}

    std::size_t read(char* bytes, std::size_t size) override;
    bool failed() const override { return failed_; }
    // Clears the stream's state and seeks to its first byte.
    bool rewind() override;

private:
    std::istream& stream_;
    bool failed_ = false;
};

} // namespace payload
