#include "install/log_format.h"

#include "support/hex_digits.h"
#include "support/utf16.h"

#include <algorithm>
#include <cwchar>
#include <optional>

namespace {

constexpr std::wstring_view lineEnd = L"\r\n";
constexpr std::wstring_view headerMark = L"// ";

// White space as the C locale knows it: blank, tab, line feed, vertical tab,
// form feed, carriage return.
bool isSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

std::wstring_view trimLeft(std::wstring_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::wstring_view trimRight(std::wstring_view text) {
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::wstring_view trim(std::wstring_view text) {
    return trimRight(trimLeft(text));
}

std::wstring padded(std::wstring digits, std::size_t width) {
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), L'0');
    }
    return digits;
}

std::wstring decimal(std::size_t number) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + number % 10));
        number /= 10;
    } while (number != 0);
    return digits;
}

// Removes the first occurrence of word from text; nothing when it has none.
std::optional<std::wstring> withoutFirst(std::wstring_view text, std::wstring_view word) {
    const std::size_t at = text.find(word);
    if (at == std::wstring_view::npos) {
        return std::nullopt;
    }
    std::wstring rest(text.substr(0, at));
    rest.append(text.substr(at + word.size()));
    return rest;
}

// Reads items the way a wide input stream does: each item after the white
// space in front of it.
class ItemCursor {
public:
    explicit ItemCursor(std::wstring_view text)
        : text_(text) {}

    // An optionally signed decimal integer that fits 32 bits.
    std::optional<std::int64_t> decimal() {
        skipSpace();
        bool negative = false;
        if (!text_.empty() && (text_.front() == L'+' || text_.front() == L'-')) {
            negative = text_.front() == L'-';
            text_.remove_prefix(1);
        }
        std::int64_t number = 0;
        std::size_t digits = 0;
        while (!text_.empty() && text_.front() >= L'0' && text_.front() <= L'9') {
            number = number * 10 + (text_.front() - L'0');
            if (number > 0x7FFFFFFF) {
                return std::nullopt;
            }
            text_.remove_prefix(1);
            ++digits;
        }
        if (digits == 0) {
            return std::nullopt;
        }
        return negative ? -number : number;
    }

    // An unsigned hexadecimal integer that fits 32 bits.
    std::optional<std::uint32_t> hex() {
        skipSpace();
        std::uint64_t number = 0;
        std::size_t digits = 0;
        while (!text_.empty()) {
            const wchar_t c = text_.front();
            int digit = -1;
            if (c >= L'0' && c <= L'9') {
                digit = c - L'0';
            } else if (c >= L'a' && c <= L'f') {
                digit = c - L'a' + 10;
            } else if (c >= L'A' && c <= L'F') {
                digit = c - L'A' + 10;
            }
            if (digit < 0) {
                break;
            }
            number = number * 16 + static_cast<std::uint64_t>(digit);
            if (number > 0xFFFFFFFF) {
                return std::nullopt;
            }
            text_.remove_prefix(1);
            ++digits;
        }
        if (digits == 0) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(number);
    }

    // One character, after white space.
    std::optional<wchar_t> character() {
        skipSpace();
        if (text_.empty()) {
            return std::nullopt;
        }
        const wchar_t c = text_.front();
        text_.remove_prefix(1);
        return c;
    }

    // The characters up to the next white space.
    std::wstring_view word() {
        skipSpace();
        std::size_t length = 0;
        while (length < text_.size() && !isSpace(text_[length])) {
            ++length;
        }
        const std::wstring_view word = text_.substr(0, length);
        text_.remove_prefix(length);
        return word;
    }

    std::wstring_view rest() const { return text_; }

private:
    void skipSpace() { text_ = trimLeft(text_); }

    std::wstring_view text_;
};

} // namespace

std::vector<std::wstring> logHeaderLines(const LogHeader& header) {
    std::wstring install = L"Install " + header.productLabel;
    if (!header.previousLabel.empty()) {
        install += L" -- Update (" + header.previousLabel + L")";
    }
    std::wstring shortcut = L"Shortcut Path : " + header.shortcutFolder;
    // The rule under line 5 is as long as line 5 counted in code units, so
    // that the file is the same whatever the width of wchar_t.
    std::wstring rule(tw::utf16Length(shortcut), L'-');
    return {
        L"Uninstall Log File v1",
        L"############ WARNING: Do not delete or modify this file. ############",
        std::move(install),
        L"Install Path : " + header.installFolder,
        std::move(shortcut),
        std::move(rule),
    };
}

std::wstring logEntryLine(std::size_t index, const LogEntry& entry) {
    const std::uint32_t code = static_cast<std::uint32_t>(entry.kind) * 256u +
                               (static_cast<std::uint32_t>(entry.value) & 0xFFu);
    std::wstring line = padded(decimal(index), 4);
    line += L':';
    line += tw::lowerHex(code, 4);
    line += L':';
    line += entry.done ? L'1' : L'0';
    line += L" -- ";
    line += entry.path;
    return line;
}

void stampFixedPaths(LogEntries& entries, const std::wstring& productKeyName) {
    for (LogEntry& entry : entries) {
        if (entry.kind == LogKind::UninstallKey) {
            entry.path = uninstallKeyLogPrefix + productKeyName;
        } else if (entry.kind == LogKind::FileAssociations) {
            entry.path = fileAssociationsLogText;
        }
    }
}

std::vector<std::uint8_t> encodeLog(const LogHeader& header, const LogEntries& entries) {
    std::u16string units;
    for (const std::wstring& text : logHeaderLines(header)) {
        tw::appendUtf16(units, headerMark);
        tw::appendUtf16(units, text);
        tw::appendUtf16(units, lineEnd);
    }
    std::size_t index = 0;
    for (const LogEntry& entry : entries) {
        tw::appendUtf16(units, logEntryLine(index++, entry));
        tw::appendUtf16(units, lineEnd);
    }
    std::vector<std::uint8_t> bytes{0xFF, 0xFE};
    bytes.reserve(2 + units.size() * 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

LogReader::LogReader(WidenFunction widen)
    : widen_(std::move(widen)) {}

bool LogReader::feed(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        if (stopped_) {
            break;
        }
        takeByte(byte);
    }
    return !stopped_;
}

void LogReader::takeByte(std::uint8_t byte) {
    ++bytesSeen_;
    if (encoding_ == Encoding::Undecided) {
        // The first two bytes decide: FF FE marks UTF-16LE and is no part of
        // the first line; anything else is 8-bit text.
        if (bytesSeen_ == 1) {
            firstByte_ = byte;
            return;
        }
        if (firstByte_ == 0xFF && byte == 0xFE) {
            encoding_ = Encoding::Utf16;
            return;
        }
        encoding_ = Encoding::Ansi;
        takeUnit(firstByte_, lineBufferBytes - 1);
        if (!stopped_) {
            takeUnit(byte, lineBufferBytes - 1);
        }
        return;
    }
    if (encoding_ == Encoding::Ansi) {
        takeUnit(byte, lineBufferBytes - 1);
        return;
    }
    if (!oddByte_) {
        lowByte_ = byte;
        oddByte_ = true;
        return;
    }
    oddByte_ = false;
    takeUnit(static_cast<char16_t>(lowByte_ | (byte << 8)), lineBufferBytes / 2 - 1);
}

// Line ends are found on whole code units, so a UTF-16 character with a byte
// 0x0A (U+010A, U+4E0A) stays inside its line.
void LogReader::takeUnit(char16_t unit, std::size_t maxUnits) {
    if (unit == u'\n') {
        endLine();
        return;
    }
    if (overlong_) {
        return;
    }
    if (units_.size() == maxUnits) {
        overlong_ = true;
        units_.clear();
        return;
    }
    units_.push_back(unit);
}

void LogReader::endLine() {
    if (overlong_) {
        ++lineNumber_;
        overlong_ = false;
        return;
    }
    std::u16string units;
    units.swap(units_);
    if (encoding_ == Encoding::Utf16) {
        parseLine(tw::fromUtf16(units));
        return;
    }
    std::string narrow(units.begin(), units.end());
    parseLine(widen_ ? widen_(narrow) : std::wstring(narrow.begin(), narrow.end()));
}

void LogReader::finish() {
    if (stopped_) {
        return;
    }
    if (encoding_ == Encoding::Undecided && bytesSeen_ == 1) {
        encoding_ = Encoding::Ansi;
        takeUnit(firstByte_, lineBufferBytes - 1);
    }
    // An empty piece after the last line feed is not a line; a dangling odd
    // byte of UTF-16 is no code unit.
    if (overlong_ || !units_.empty()) {
        endLine();
    }
}

void LogReader::parseLine(std::wstring line) {
    ++lineNumber_;
    const std::wstring_view text = trimRight(line);
    if (text.starts_with(L"//")) {
        parseHeaderLine(text);
    } else {
        parseEntryLine(text);
    }
}

void LogReader::parseHeaderLine(std::wstring_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(L'/'), text.size()));
    text = trimLeft(text);
    switch (lineNumber_) {
    case 1: {
        const auto rest = withoutFirst(text, L"Uninstall Log File v");
        const auto version = rest ? ItemCursor(*rest).decimal() : std::nullopt;
        if (version != 1) {
            stopped_ = true;
            return;
        }
        versionRead_ = true;
        return;
    }
    case 3: {
        const auto rest = withoutFirst(text, L"Install");
        if (!rest) {
            stopped_ = true;
            return;
        }
        std::wstring_view label = *rest;
        label = label.substr(0, label.find(L"--"));
        contents_.previousLabel = trim(label);
        return;
    }
    case 4:
    case 5: {
        const auto rest =
            withoutFirst(text, lineNumber_ == 4 ? L"Install Path : " : L"Shortcut Path : ");
        if (!rest) {
            stopped_ = true;
            return;
        }
        (lineNumber_ == 4 ? contents_.installPath : contents_.shortcutPath) = trim(*rest);
        return;
    }
    default:
        return;
    }
}

void LogReader::parseEntryLine(std::wstring_view text) {
    if (!versionRead_) {
        stopped_ = true;
        return;
    }
    ItemCursor cursor(text);
    const auto index = cursor.decimal();
    const auto colon1 = index && *index >= 0 ? cursor.character() : std::nullopt;
    const auto code = colon1 == L':' ? cursor.hex() : std::nullopt;
    const auto colon2 = code ? cursor.character() : std::nullopt;
    const auto flag = colon2 == L':' ? cursor.character() : std::nullopt;
    const bool flagValid = flag == L'0' || flag == L'1';
    if (!flagValid || cursor.word() != L"--" || *code / 256 > lastLogKindCode) {
        stopped_ = true;
        return;
    }
    LogEntry entry;
    entry.kind = static_cast<LogKind>(*code / 256);
    entry.value = (*code & 0xFF) == 0xFF ? -1 : static_cast<std::int32_t>(*code & 0xFF);
    entry.done = flag == L'1';
    if (entry.kind != LogKind::UninstallKey && entry.kind != LogKind::FileAssociations) {
        entry.path = trimLeft(cursor.rest());
    }
    contents_.entries.push_back(std::move(entry));
}

LogContents readLog(std::span<const std::uint8_t> bytes, const WidenFunction& widen) {
    LogReader reader(widen);
    reader.feed(bytes);
    reader.finish();
    return std::move(reader.contents());
}
