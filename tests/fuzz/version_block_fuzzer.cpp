// Any bytes as a version resource: the decoder must stay inside them.
#include "support/version_block.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly that size, so that any read past the end is seen.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const tw::VersionBlock block(bytes);
    volatile std::uint64_t sink = block.fileVersion() ^ block.fileFlags();
    for (const wchar_t* key : {L"ProductName", L"ProductVersion", L"SpecialBuild"}) {
        sink = sink + block.stringValue(key).size();
    }
    for (const wchar_t* path : {L"\\", L"\\VarFileInfo\\Translation", L"\\StringFileInfo\\\\x"}) {
        if (const auto value = tw::queryVersionValue(bytes, path)) {
            sink = sink + value->offset + value->bytes;
        }
    }
    (void)sink;
    return 0;
}
