#include "install/journal_file.h"

#include "install/path_rules.h"
#include "payload/crc32.h"
#include "payload/archive_entry.h"
#include "support/hex_digits.h"
#include "support/path_text.h"
#include "support/utf16.h"

#include <algorithm>
#include <charconv>
#include <cwctype>

namespace {

constexpr wchar_t magic[] = L"Kelvane setup journal";
constexpr wchar_t separator = L'\t';
constexpr std::wstring_view lineEnd = L"\r\n";
constexpr std::wstring_view none = L"-";
constexpr std::wstring_view dataPlace = L"data";
constexpr std::wstring_view shortcutPlace = L"shortcuts";

std::wstring decimal(std::int64_t number) {
    return std::to_wstring(number);
}

std::wstring flagsOf(const LogEntry& entry) {
    std::wstring flags;
    if (entry.done) {
        flags += L'd';
    }
    if (entry.keptInPlace) {
        flags += L'k';
    }
    if (entry.backupCopied) {
        flags += L'c';
    }
    return flags.empty() ? std::wstring(none) : flags;
}

std::wstring hexData(const std::vector<std::uint8_t>& data) {
    std::wstring text;
    for (const std::uint8_t byte : data) {
        text += tw::lowerHex(byte, 2);
    }
    return text;
}

std::wstring joined(std::initializer_list<std::wstring> fields) {
    std::wstring line;
    for (const std::wstring& field : fields) {
        if (!line.empty()) {
            line += separator;
        }
        line += field;
    }
    return line;
}

void appendLine(std::string& bytes, const std::wstring& line) {
    tw::appendUtf16le(bytes, line);
    tw::appendUtf16le(bytes, lineEnd);
}

std::vector<std::wstring_view> fieldsOf(std::wstring_view line) {
    std::vector<std::wstring_view> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find(separator, start)) != std::wstring_view::npos;
         start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

// A whole number of the base, every character a digit of it (a leading "-"
// allowed in decimal).
template <typename Number>
std::optional<Number> numberOf(std::wstring_view text, int base) {
    std::string narrow;
    for (const wchar_t c : text) {
        if (c > 0x7F) {
            return std::nullopt;
        }
        narrow += static_cast<char>(c);
    }
    Number number{};
    const auto [end, error] =
        std::from_chars(narrow.data(), narrow.data() + narrow.size(), number, base);
    if (narrow.empty() || error != std::errc() || end != narrow.data() + narrow.size()) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::vector<std::uint8_t>> dataOf(std::wstring_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const auto byte = numberOf<std::uint8_t>(text.substr(i, 2), 16);
        if (!byte) {
            return std::nullopt;
        }
        data.push_back(*byte);
    }
    return data;
}

std::optional<LogKind> kindOf(std::wstring_view text) {
    const auto code = numberOf<std::int32_t>(text, 10);
    if (!code || *code < 0 || *code > lastLogKindCode) {
        return std::nullopt;
    }
    return static_cast<LogKind>(*code);
}

bool readFlags(std::wstring_view text, LogEntry& entry) {
    if (text == none) {
        return true;
    }
    for (const wchar_t flag : text) {
        bool* target = flag == L'd'   ? &entry.done
                       : flag == L'k' ? &entry.keptInPlace
                       : flag == L'c' ? &entry.backupCopied
                                      : nullptr;
        if (target == nullptr || *target) {
            return false; // an unknown or repeated flag
        }
        *target = true;
    }
    return !text.empty();
}

bool readEntry(const std::vector<std::wstring_view>& fields, JournalImage& image) {
    const auto kind = kindOf(fields[1]);
    const auto value = numberOf<std::int32_t>(fields[2], 10);
    if (!kind || !value) {
        return false;
    }
    LogEntry entry{*kind, std::wstring(fields[5]), std::wstring(fields[6]), false, *value};
    if (!readFlags(fields[3], entry)) {
        return false;
    }
    if (fields[4] != none) {
        const auto attributes = numberOf<std::uint32_t>(fields[4], 16);
        if (!attributes || fields[4].size() != 8) {
            return false;
        }
        entry.keptAttributes = *attributes;
    }
    image.entries.push_back(std::move(entry));
    return true;
}

bool readValue(const std::vector<std::wstring_view>& fields, JournalImage& image) {
    SavedValue saved{std::wstring(fields[1]), std::wstring(fields[2])};
    saved.createdKey = fields[3];
    if (fields[4] == none) {
        if (!fields[5].empty()) {
            return false;
        }
    } else {
        const auto type = numberOf<std::uint32_t>(fields[4], 16);
        const auto data = dataOf(fields[5]);
        if (!type || !data) {
            return false;
        }
        saved.existed = true;
        saved.type = *type;
        saved.data = *data;
    }
    image.savedValues.push_back(std::move(saved));
    return true;
}

// One line after the first: false when it is not one this version writes.
bool readLine(std::wstring_view line, JournalImage& image, bool& runRead) {
    const std::vector<std::wstring_view> fields = fieldsOf(line);
    const std::wstring_view tag = fields.front();
    if (tag == L"run" && fields.size() == 3 && !runRead) {
        image.installFolder = fields[1];
        image.tempFolder = fields[2];
        runRead = true;
        return true;
    }
    if (!runRead) {
        return false;
    }
    if (tag == L"place" && fields.size() == 3 &&
        (fields[1] == dataPlace || fields[1] == shortcutPlace)) {
        (fields[1] == dataPlace ? image.dataPlaces : image.shortcutPlaces).emplace_back(fields[2]);
        return true;
    }
    if (tag == L"earlier" && fields.size() == 3) {
        const auto kind = kindOf(fields[1]);
        if (!kind || !isShortcutKind(*kind)) {
            return false;
        }
        image.earlier.push_back({*kind, std::wstring(fields[2]), {}, true, -1});
        return true;
    }
    if (tag == L"entry" && fields.size() == 7) {
        return readEntry(fields, image);
    }
    if (tag == L"value" && fields.size() == 6) {
        return readValue(fields, image);
    }
    if (tag == L"access" && fields.size() == 3) {
        const auto descriptor = dataOf(fields[2]);
        if (!descriptor || descriptor->empty()) {
            return false;
        }
        image.savedAccess.push_back({std::wstring(fields[1]), *descriptor});
        return true;
    }
    return false;
}

std::wstring_view parentOf(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash);
}

std::wstring_view leafOf(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return sameElements(a, b, tw::equalIgnoringCase);
}

// A folder of the shape profiles\NAME\inProfile: one plain name between.
bool isInSomeProfile(std::wstring_view place, std::wstring_view profiles,
                     std::wstring_view inProfile) {
    const std::vector<std::wstring_view> path = tw::pathNames(place);
    const std::vector<std::wstring_view> head = tw::pathNames(profiles);
    const std::vector<std::wstring_view> tail = tw::pathNames(inProfile);
    const auto same = [](std::wstring_view a, std::wstring_view b) {
        return tw::equalIgnoringCase(a, b);
    };
    return isDriveAbsolute(place) && isDriveAbsolute(profiles) && !tail.empty() &&
           path.size() == head.size() + 1 + tail.size() &&
           std::equal(head.begin(), head.end(), path.begin(), same) &&
           payload::isSafeFileName(path[head.size()]) &&
           std::equal(tail.begin(), tail.end(),
                      path.end() - static_cast<std::ptrdiff_t>(tail.size()), same);
}

std::vector<std::wstring> placesOfShape(const std::vector<std::wstring>& places,
                                        const PlaceShapes& shapes) {
    std::vector<std::wstring> accepted;
    for (const std::wstring& place : places) {
        const bool shared = std::ranges::any_of(shapes.shared, [&](const std::wstring& folder) {
            return sameIgnoringCase(place, folder);
        });
        const bool inProfile =
            std::ranges::any_of(shapes.inProfile, [&](const std::wstring& below) {
                return isInSomeProfile(place, shapes.profiles, below);
            });
        if (shared || inProfile) {
            accepted.push_back(place);
        }
    }
    return accepted;
}

// "tw" followed by one to four hexadecimal digits and ".tmp", as
// GetTempFileNameW names it, directly in the journal's folder.
bool isBackupOfFolder(std::wstring_view backup, std::wstring_view folder) {
    std::wstring leaf(leafOf(backup));
    std::ranges::transform(leaf, leaf.begin(), [](wchar_t c) {
        return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    });
    if (!isDriveAbsolute(backup) || !sameIgnoringCase(parentOf(backup), folder) ||
        leaf.size() < 7 || leaf.size() > 10 || !leaf.starts_with(L"tw") ||
        !leaf.ends_with(L".tmp")) {
        return false;
    }
    return std::ranges::all_of(leaf.substr(2, leaf.size() - 6),
                               [](wchar_t c) { return std::iswxdigit(static_cast<wint_t>(c)); });
}

// "tarnwick_{" and 36 characters of a UUID and "}", in a folder of a drive.
bool isRunTempFolder(std::wstring_view folder) {
    const std::wstring_view leaf = leafOf(folder);
    return isDriveAbsolute(folder) && leaf.size() == 47 && leaf.starts_with(L"tarnwick_{") &&
           leaf.ends_with(L"}") && std::ranges::all_of(leaf.substr(10, 36), [](wchar_t c) {
               return c == L'-' || std::iswxdigit(static_cast<wint_t>(c));
           });
}

} // namespace

std::vector<std::uint8_t> encodeJournal(const JournalImage& image) {
    std::vector<std::wstring> lines;
    lines.push_back(joined({magic, decimal(journalVersion)}));
    lines.push_back(joined({L"run", image.installFolder, image.tempFolder}));
    for (const std::wstring& place : image.dataPlaces) {
        lines.push_back(joined({L"place", std::wstring(dataPlace), place}));
    }
    for (const std::wstring& place : image.shortcutPlaces) {
        lines.push_back(joined({L"place", std::wstring(shortcutPlace), place}));
    }
    for (const LogEntry& earlier : image.earlier) {
        lines.push_back(
            joined({L"earlier", decimal(static_cast<std::int32_t>(earlier.kind)), earlier.path}));
    }
    for (const LogEntry& entry : image.entries) {
        lines.push_back(joined(
            {L"entry", decimal(static_cast<std::int32_t>(entry.kind)), decimal(entry.value),
             flagsOf(entry),
             entry.keptAttributes ? tw::lowerHex(*entry.keptAttributes, 8) : std::wstring(none),
             entry.path, entry.backup}));
    }
    for (const SavedValue& saved : image.savedValues) {
        lines.push_back(joined({L"value", saved.key, saved.name, saved.createdKey,
                                saved.existed ? tw::lowerHex(saved.type) : std::wstring(none),
                                saved.existed ? hexData(saved.data) : std::wstring()}));
    }
    for (const SavedAccess& saved : image.savedAccess) {
        lines.push_back(joined({L"access", saved.path, hexData(saved.descriptor)}));
    }
    std::string bytes = "\xFF\xFE";
    for (const std::wstring& line : lines) {
        appendLine(bytes, line);
    }
    const std::uint32_t crc = payload::crc32(bytes.data(), bytes.size());
    appendLine(bytes, joined({L"end", decimal(static_cast<std::int64_t>(lines.size())),
                              tw::lowerHex(crc, 8)}));
    return {bytes.begin(), bytes.end()};
}

std::optional<JournalImage> decodeJournal(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[0] != 0xFF || bytes[1] != 0xFE) {
        return std::nullopt;
    }
    const std::wstring text =
        tw::decodeUtf16le(reinterpret_cast<const char*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    if (!text.ends_with(lineEnd)) {
        return std::nullopt;
    }
    std::vector<std::wstring_view> lines;
    std::size_t bytesBeforeLast = 2;
    for (std::size_t start = 0, end; start < text.size(); start = end + lineEnd.size()) {
        end = text.find(lineEnd, start);
        if (!lines.empty()) {
            bytesBeforeLast += 2 * tw::utf16Length(lines.back()) + 2 * lineEnd.size();
        }
        lines.push_back(std::wstring_view(text).substr(start, end - start));
    }
    // The last line seals the others: their number and their CRC-32.
    const std::vector<std::wstring_view> seal = fieldsOf(lines.back());
    if (lines.size() < 3 || seal.size() != 3 || seal[0] != L"end" ||
        seal[1] != decimal(static_cast<std::int64_t>(lines.size() - 1)) ||
        seal[2] != tw::lowerHex(payload::crc32(bytes.data(), bytesBeforeLast), 8)) {
        return std::nullopt;
    }
    if (lines.front() != joined({magic, decimal(journalVersion)})) {
        return std::nullopt;
    }
    JournalImage image;
    bool runRead = false;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i].find_first_of(L"\r\n") != std::wstring_view::npos ||
            !readLine(lines[i], image, runRead)) {
            return std::nullopt;
        }
    }
    if (!runRead) {
        return std::nullopt;
    }
    return image;
}

InstallationPlaces acceptedPlaces(const JournalImage& image, const PlaceShapes& shapes) {
    return {image.installFolder, placesOfShape(image.dataPlaces, shapes),
            placesOfShape(image.shortcutPlaces, shapes)};
}

bool journalWithinBounds(
    const JournalImage& image, const std::wstring& journalFolder, const PlaceShapes& shapes,
    const std::function<bool(const std::wstring& key, const std::wstring& name)>& allowedValue) {
    const InstallationPlaces places = acceptedPlaces(image, shapes);
    const auto placed = [&](const LogEntry& entry) {
        return entry.path.empty() || mayActOn(places, entry.kind, entry.path);
    };
    const auto backupInside = [&](const LogEntry& entry) {
        return entry.backup.empty() || isBackupOfFolder(entry.backup, journalFolder);
    };
    const auto fileOrFolder = [&](const SavedAccess& saved) {
        return mayActOn(places, LogKind::File, saved.path) ||
               mayActOn(places, LogKind::Folder, saved.path);
    };
    return std::ranges::all_of(image.earlier, placed) &&
           std::ranges::all_of(image.entries, placed) &&
           std::ranges::all_of(image.savedAccess, fileOrFolder) &&
           std::ranges::all_of(image.entries, backupInside) &&
           std::ranges::all_of(image.savedValues,
                               [&](const SavedValue& saved) {
                                   return allowedValue(saved.key, saved.name) &&
                                          (saved.createdKey.empty() ||
                                           saved.key == saved.createdKey ||
                                           saved.key.starts_with(saved.createdKey + L"\\"));
                               }) &&
           (image.tempFolder.empty() || isRunTempFolder(image.tempFolder));
}
