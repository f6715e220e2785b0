#pragma once
// The payload resource: type 260, name 134, one bzip2 stream.

#include "payload/byte_source.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace payload {

constexpr WORD payloadResourceType = 260;
constexpr WORD payloadResourceName = 134;

// A read-only stream over the resource's bytes where the module keeps them
// (not copied). Not open when there is no payload: reading it then fails.
// It is no standard stream, so that the installer links none of the stream
// library.
class ResourceStream final : public ByteSource {
public:
    ResourceStream() = default;
    ResourceStream(const char* bytes, std::size_t size) noexcept
        : bytes_(bytes)
        , size_(size) {}

    bool is_open() const noexcept { return bytes_ != nullptr; }
    // The offset of the next byte to read.
    std::uint64_t position() const noexcept { return position_; }

    std::size_t read(char* bytes, std::size_t size) override;
    bool failed() const override { return !is_open(); }
    bool rewind() override;

private:
    const char* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

// Looks the payload up in the resource module of the current language, then,
// when that is another module, in the executable's own module.
std::unique_ptr<ResourceStream> openPayloadResource();

// The same lookup in the given modules: first resourceModule, then executable
// when it differs. On any failure (not found, not loaded, size 0, not locked)
// the stream is not open.
std::unique_ptr<ResourceStream> openPayloadResource(HMODULE resourceModule, HMODULE executable);

} // namespace payload
