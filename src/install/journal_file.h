#pragma once
// The journal file: what a run has changed so far, kept on disk so that the
// next run can undo a run that was interrupted (power lost, process ended).
// The file is rewritten whole before each change, so it always describes
// every change that may have been made; it goes when the run ends.
//
// Byte layout: FF FE, then UTF-16LE lines, each ending in CR LF; the fields of
// a line are separated by TAB, which no Windows path can hold.
//   "Kelvane setup journal" TAB version ("1")
//   "run" TAB installation folder TAB temporary folder
//   per place the run's payload and shortcuts went to:
//     "place" TAB "data" or "shortcuts" TAB folder
//   per earlier shortcut whose file a rollback puts back:
//     "earlier" TAB kind TAB path
//   per entry of the run, in the order the changes were made:
//     "entry" TAB kind TAB value TAB flags TAB attributes TAB path TAB backup
//   per registry value the run set, in the order they were saved:
//     "value" TAB key TAB name TAB created key TAB type TAB data
//   per DACL the run changed, in the order they were saved:
//     "access" TAB path TAB self-relative security descriptor
//   "end" TAB lines before this one TAB CRC-32 of the bytes before this line
// Numbers are decimal except attributes, type, data, descriptors and the
// CRC-32, which are lower-case hexadecimal (attributes and the CRC-32 with
// eight digits); an absent number is "-". Flags are letters, "-" for none: "d" done, "k" kept
// in place, "c" backup copied. A value the key did not hold has type "-" and
// no data.
//
// A file that differs from this in any way (cut short, changed, another
// version) is not read at all.

#include "install/installation_places.h"
#include "install/journal_records.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr wchar_t journalFileName[] = L"Installation.journal";
inline constexpr int journalVersion = 1;

// Everything the journal file holds.
struct JournalImage {
    std::wstring installFolder = {};
    // The places of the run besides the installation folder, as its session
    // named them (InstallationPlaces::dataFolders and shortcutFolders).
    std::vector<std::wstring> dataPlaces = {};
    std::vector<std::wstring> shortcutPlaces = {};
    // The run's temporary folder ("tarnwick_{...}"), which undoing it removes.
    std::wstring tempFolder = {};
    // The earlier installation's shortcut entries (JournalRecords::oldEntries).
    LogEntries earlier = {};
    // The run's entries (JournalRecords::newEntries).
    LogEntries entries = {};
    std::vector<SavedValue> savedValues = {};
    std::vector<SavedAccess> savedAccess = {};

    bool operator==(const JournalImage&) const = default;
};

std::vector<std::uint8_t> encodeJournal(const JournalImage& image);

// The image of a whole, unchanged journal file; nothing otherwise.
std::optional<JournalImage> decodeJournal(std::span<const std::uint8_t> bytes);

// The shapes of the places an installation on this machine gives a run,
// whichever administrator ran it: the folders every run shares (the common
// application data's maker folder, the common desktop and start menu), and
// those of one user's profile, as their paths below the profile, for the
// profiles in the folder that holds them.
struct PlaceShapes {
    std::vector<std::wstring> shared;
    std::wstring profiles;
    std::vector<std::wstring> inProfile;
};

// The places of the image that have one of the shapes, with its installation
// folder; the others hold nothing. Compared element by element, ignoring
// case.
InstallationPlaces acceptedPlaces(const JournalImage& image, const PlaceShapes& shapes);

// Whether acting on the image stays inside what an installation changes:
// every entry and earlier shortcut lies in the accepted places (mayActOn),
// so does every file or folder of a saved DACL, every backup is a "tw*.tmp"
// file directly in the journal's own folder,
// every saved value is one of the allowed ones (allowedValue of its key and
// name), and the temporary folder, when named, is a "tarnwick_{...}" folder.
bool journalWithinBounds(
    const JournalImage& image, const std::wstring& journalFolder, const PlaceShapes& shapes,
    const std::function<bool(const std::wstring& key, const std::wstring& name)>& allowedValue);
