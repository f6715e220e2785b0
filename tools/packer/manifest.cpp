#include "packer/manifest.h"

#include "payload/archive_entry.h"

#include <charconv>

namespace packer {

namespace {

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(trim(line.substr(start, bar - start)));
        if (bar == std::string_view::npos) {
            return fields;
        }
        start = bar + 1;
    }
}

} // namespace

ManifestError::ManifestError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message)
    , line_(line) {}

std::wstring fromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}

std::string toUtf8(const std::wstring& text) {
    const std::u8string utf8 = std::filesystem::path(text).u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::optional<std::uint32_t> parseKind(std::string_view text) {
    for (const payload::EntryKindName& known : payload::entryKinds) {
        if (text == known.name) {
            return known.kind;
        }
    }
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size() && !text.empty()) {
        return number;
    }
    return std::nullopt;
}

std::string kindName(std::uint32_t kind) {
    for (const payload::EntryKindName& known : payload::entryKinds) {
        if (kind == known.kind) {
            return std::string(known.name);
        }
    }
    return std::to_string(kind);
}

std::vector<ManifestLine> readManifest(std::istream& in, const std::filesystem::path& base) {
    std::vector<ManifestLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        const std::string_view content = trim(text);
        if (content.empty() || content.front() == '#') {
            continue;
        }
        const std::vector<std::string_view> fields = splitFields(content);
        if (fields.size() != 3) {
            throw ManifestError(number, "expected 'source | destination | kind', found " +
                                            std::to_string(fields.size()) + " field(s)");
        }
        if (fields[0].empty() || fields[1].empty() || fields[2].empty()) {
            throw ManifestError(number, "a field is empty");
        }
        const std::optional<std::uint32_t> kind = parseKind(fields[2]);
        if (!kind) {
            throw ManifestError(number, "unknown kind '" + std::string(fields[2]) + "'");
        }
        ManifestLine line;
        const std::filesystem::path source(std::u8string(fields[0].begin(), fields[0].end()));
        line.source = source.is_absolute() ? source : base / source;
        line.destination = fromUtf8(std::string(fields[1]));
        line.kind = *kind;
        line.line = number;
        if (!payload::isSafeFileName(line.source.filename().wstring())) {
            throw ManifestError(number, "'" + std::string(fields[0]) +
                                            "' has no file name that can be installed");
        }
        lines.push_back(std::move(line));
    }
    if (in.bad()) {
        throw std::runtime_error("the manifest cannot be read");
    }
    return lines;
}

} // namespace packer
