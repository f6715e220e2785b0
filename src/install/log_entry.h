#pragma once
// One record of the installation journal and of the uninstall log file.

#include <cstdint>
#include <list>
#include <optional>
#include <string>

// What an entry records. The number is the kind code written in the log file.
enum class LogKind : std::int32_t {
    Folder = 0,            // a folder the installation created
    File = 1,              // a file it wrote or took over; value is the payload kind
    ProgramShortcut = 2,   // the main program's shortcut in the start-menu folder
    UninstallShortcut = 3, // the uninstaller's shortcut in the start-menu folder
    DesktopShortcut = 4,   // the main program's shortcut on the desktop
    UninstallKey = 5,      // the product's uninstall registry key
    FileAssociations = 6,  // the file associations the main program registers
};

constexpr std::int32_t lastLogKindCode = 6;

constexpr bool isShortcutKind(LogKind kind) noexcept {
    return kind == LogKind::ProgramShortcut || kind == LogKind::UninstallShortcut ||
           kind == LogKind::DesktopShortcut;
}

// A journal entry: a plain record that carries what is needed to undo it.
struct LogEntry {
    LogKind kind = LogKind::Folder;
    // The folder, file or shortcut; empty in memory for the uninstall key and
    // the file associations (the log file names them by fixed texts).
    std::wstring path;
    // Full path of the saved copy of what the change replaced; empty when none.
    std::wstring backup;
    // The change was completed.
    bool done = false;
    // The payload kind of a file; -1 ("none") for every other kind.
    std::int32_t value = -1;
    // A file or the uninstall key that was there before and could not be
    // saved aside: a rollback leaves it where it is rather than lose it, and
    // gives a file back the attributes it had when it was recorded
    // (keptAttributes, when they could be read), which writing it may have
    // changed. Neither is written to the log.
    bool keptInPlace = false;
    std::optional<std::uint32_t> keptAttributes = std::nullopt;
    // The backup is a copy of a file that was left in place and not written
    // (an existing data file): a rollback leaves the file exactly as it is
    // and discards the copy. Not written to the log.
    bool backupCopied = false;

    bool operator==(const LogEntry&) const = default;
};

// The journal's entry lists are doubly linked and own their entries; entries
// move between lists by splicing, never by copying.
using LogEntries = std::list<LogEntry>;
