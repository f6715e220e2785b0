#pragma once
// The payload resource: type 260, name 134, one bzip2 stream.

#include <windows.h>

#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/stream.hpp>

#include <memory>

namespace payload {

constexpr WORD payloadResourceType = 260;
constexpr WORD payloadResourceName = 134;

// A read-only, seekable stream over the resource's bytes where the module
// keeps them (not copied). Not open when there is no payload.
using ResourceStream = boost::iostreams::stream<boost::iostreams::array_source>;

// Looks the payload up in the resource module of the current language, then,
// when that is another module, in the executable's own module.
std::unique_ptr<ResourceStream> OpenPayloadResource();

// The same lookup in the given modules: first resourceModule, then executable
// when it differs. On any failure (not found, not loaded, size 0, not locked)
// the stream is not open.
std::unique_ptr<ResourceStream> OpenPayloadResource(HMODULE resourceModule, HMODULE executable);

} // namespace payload
