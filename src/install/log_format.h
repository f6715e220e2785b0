#pragma once
// The text format of the uninstall log "Uninstall.ulog", which the product's
// uninstaller and the next setup run read.
//
// Byte layout:
//   FF FE                      byte-order mark; the rest is UTF-16LE, no NUL
//   "// Uninstall Log File v1" CR LF
//   "// ############ WARNING: Do not delete or modify this file. ############" CR LF
//   "// Install " label [" -- Update (" earlier label ")"] CR LF
//   "// Install Path : " installation folder CR LF
//   "// Shortcut Path : " start-menu folder CR LF
//   "// " hyphens, as many as line 5 has code units after its "// " CR LF
//   per entry: index ":" code ":" flag " -- " path CR LF
// where index is decimal, at least four digits; code is hexadecimal, lower
// case, at least four digits, (kind * 256) + (value & 0xFF); flag is "1" when
// done, else "0". Every line ends in CR LF, the last one too.
//
// An earlier log without the byte-order mark is read as 8-bit text in the
// thread's ANSI code page; the caller supplies the widening.

#include "install/log_entry.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr wchar_t logFileName[] = L"Uninstall.ulog";
// The log text of an uninstall-key entry: this prefix and the product key name.
inline constexpr wchar_t uninstallKeyLogPrefix[] =
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The log text of a file-associations entry.
inline constexpr wchar_t fileAssociationsLogText[] = L"HKEY_CLASSES_ROOT\\...";

// What the header of a new log says.
struct LogHeader {
    std::wstring productLabel;   // "Kelvane 3.00g"
    std::wstring previousLabel;  // the updated installation's label; empty when none
    std::wstring installFolder;  // this run's installation folder
    std::wstring shortcutFolder; // this run's start-menu folder, even when unused
};

// The six header lines as their texts, without the leading "// " and line end.
std::vector<std::wstring> logHeaderLines(const LogHeader& header);

// The line of the entry at position index, without its line end.
std::wstring logEntryLine(std::size_t index, const LogEntry& entry);

// Gives uninstall-key and file-association entries the fixed texts that name
// them in the file.
void stampFixedPaths(LogEntries& entries, const std::wstring& productKeyName);

// The whole file: the byte-order mark, the header, one line per entry.
std::vector<std::uint8_t> encodeLog(const LogHeader& header, const LogEntries& entries);

// Turns one line of 8-bit text in the reader's code page into wide text.
using WidenFunction = std::function<std::wstring(std::string_view)>;

// What the reader took from an earlier log.
struct LogContents {
    // The folders of lines 4 and 5 as written; the caller keeps them only
    // when they name existing folders.
    std::wstring installPath;
    std::wstring shortcutPath;
    // Label A of line 3 "Install A[ -- Update (B)]".
    std::wstring previousLabel;
    // Entries in file order, without backups; uninstall-key and file-association
    // entries have empty paths.
    LogEntries entries;
};

// Reads an earlier log piece by piece. The first malformed line ends the
// reading; everything read before it stays. A line that does not fit the
// reader's line buffer (1,024 bytes with its line feed) is passed over whole,
// so that a path is never cut short, and counts as one line.
class LogReader {
public:
    static constexpr std::size_t lineBufferBytes = 1024;

    explicit LogReader(WidenFunction widen);

    // Takes the next bytes of the file. False once the reading has stopped,
    // after which further bytes are ignored.
    bool feed(std::span<const std::uint8_t> bytes);

    // The end of the file: reads a last line that has no line feed.
    void finish();

    bool stopped() const noexcept { return stopped_; }
    LogContents& contents() noexcept { return contents_; }

private:
    enum class Encoding { Undecided, Utf16, Ansi };

    void takeByte(std::uint8_t byte);
    void takeUnit(char16_t unit, std::size_t maxUnits);
    void endLine();
    void parseLine(std::wstring line);
    void parseHeaderLine(std::wstring_view text);
    void parseEntryLine(std::wstring_view text);

    WidenFunction widen_;
    Encoding encoding_ = Encoding::Undecided;
    std::uint8_t firstByte_ = 0;
    std::uint64_t bytesSeen_ = 0;
    bool oddByte_ = false;
    std::uint8_t lowByte_ = 0;
    std::u16string units_;
    bool overlong_ = false;
    std::size_t lineNumber_ = 0;
    bool versionRead_ = false;
    bool stopped_ = false;
    LogContents contents_;
};

// Reads a whole log held in memory.
LogContents readLog(std::span<const std::uint8_t> bytes, const WidenFunction& widen);
