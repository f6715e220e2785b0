// Feeds arbitrary bytes to the uninstall log reader. Besides crashes and
// sanitizer reports it checks that reading in pieces gives what reading the
// whole gives, and that entries read back from their own encoding unchanged.
// The first byte chooses whether the bytes follow a valid UTF-16 or 8-bit
// header, so that the entry grammar is reached without a seed corpus.

#include "install/log_format.h"

#include "test_data.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

namespace {

using testing_support::widenLatin1;

// Short enough that the re-encoded line, with its longer index and code,
// still fits the reader's line buffer.
bool ShortPaths(const LogEntries& entries) {
    for (const LogEntry& entry : entries) {
        if (entry.path.size() > 400) {
            return false;
        }
    }
    return true;
}

// The input with the header its first byte chooses: none, UTF-16 or 8-bit.
std::vector<std::uint8_t> WithHeader(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return {};
    }
    std::vector<std::uint8_t> bytes;
    if (data[0] % 3 == 1) {
        bytes = encodeLog({L"Kelvane 3.00g", L"Kelvane 3.00f", L"C:\\K", L"C:\\S"}, {});
    } else if (data[0] % 3 == 2) {
        const std::string header = "// Uninstall Log File v1\r\n// W\r\n// Install K\r\n";
        bytes.assign(header.begin(), header.end());
    }
    bytes.insert(bytes.end(), data + 1, data + size);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> input = WithHeader(data, size);
    const std::span<const std::uint8_t> bytes(input);
    size = input.size();
    const LogContents whole = readLog(bytes, widenLatin1);

    LogReader reader(widenLatin1);
    const std::size_t piece = size == 0 ? 1 : input[size - 1] % 13 + 1;
    for (std::size_t at = 0; at < size; at += piece) {
        if (!reader.feed(bytes.subspan(at, std::min(piece, size - at)))) {
            break;
        }
    }
    reader.finish();
    const LogContents& pieces = reader.contents();
    if (pieces.entries != whole.entries || pieces.installPath != whole.installPath ||
        pieces.shortcutPath != whole.shortcutPath || pieces.previousLabel != whole.previousLabel) {
        std::abort();
    }

    if (ShortPaths(whole.entries) && whole.entries.size() < 100000) {
        const auto encoded = encodeLog({L"Kelvane 3.00g", L"", L"C:\\K", L"C:\\S"}, whole.entries);
        if (readLog(encoded, widenLatin1).entries != whole.entries) {
            std::abort();
        }
    }
    return 0;
}
