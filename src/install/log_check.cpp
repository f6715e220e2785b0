#include "install/log_check.h"

#include "install/path_rules.h"

#include <algorithm>

namespace {

constexpr std::size_t headerLines = 6;

bool endsWithLineEnd(std::span<const std::uint8_t> bytes) {
    constexpr std::uint8_t lineEnd[] = {0x0D, 0x00, 0x0A, 0x00};
    return bytes.size() >= sizeof lineEnd &&
           std::equal(std::begin(lineEnd), std::end(lineEnd), bytes.end() - sizeof lineEnd);
}

// Line feeds on whole UTF-16 code units after the byte-order mark.
std::size_t lineCount(std::span<const std::uint8_t> bytes) {
    std::size_t lines = 0;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        lines += bytes[i] == 0x0A && bytes[i + 1] == 0x00;
    }
    return lines;
}

} // namespace

std::optional<LogContents> readCompleteLog(std::span<const std::uint8_t> bytes) {
    const bool marked = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    if (!marked || bytes.size() % 2 != 0 || !endsWithLineEnd(bytes)) {
        return std::nullopt;
    }
    LogReader reader(nullptr);
    reader.feed(bytes);
    reader.finish();
    LogContents& contents = reader.contents();
    if (reader.stopped() || !isAbsoluteFolder(contents.installPath) ||
        lineCount(bytes) != headerLines + contents.entries.size()) {
        return std::nullopt;
    }
    return std::move(contents);
}
