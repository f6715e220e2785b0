#include "install/journal_file.h"

#include "payload/crc32.h"
#include "support/hex_digits.h"
#include "support/utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const std::wstring journalFolder = L"C:\\Windows\\Kelvane 3 Setup";

const std::wstring menu = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";

// The shapes of the places on a machine whose profiles are in C:\\Users.
const PlaceShapes shapes = {{L"C:\\ProgramData\\Tarnwick", L"C:\\Users\\Public\\Desktop", menu},
                            L"C:\\Users",
                            {L"AppData\\Roaming\\Tarnwick", L"Desktop",
                             L"AppData\\Roaming\\Microsoft\\Windows\\Start Menu"}};

// The journal of a run by another administrator, "Ann".
JournalImage SampleImage() {
    JournalImage image;
    image.installFolder = L"C:\\Program Files\\Tarnwick\\Kelvane 3";
    image.dataPlaces = {L"C:\\ProgramData\\Tarnwick", L"C:\\Users\\Ann\\AppData\\Roaming\\Tarnwick",
                        L"C:\\Users\\Public\\Desktop", L"C:\\Users\\Ann\\Desktop"};
    image.shortcutPlaces = {menu,
                            L"C:\\Users\\Ann\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu",
                            L"C:\\Users\\Public\\Desktop", L"C:\\Users\\Ann\\Desktop"};
    image.tempFolder = L"C:\\Users\\Ann\\AppData\\Local\\Temp\\"
                       L"tarnwick_{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}";
    image.earlier.push_back(
        {LogKind::ProgramShortcut, menu + L"\\Programs\\Kelvane 3.00e.lnk", {}, true});
    image.entries.push_back({LogKind::Folder, image.installFolder, {}, true, -1});
    LogEntry replaced{LogKind::File, image.installFolder + L"\\Kelvane.exe",
                      journalFolder + L"\\tw1A2.tmp", true, 1};
    image.entries.push_back(replaced);
    LogEntry copied{LogKind::File, L"C:\\ProgramData\\Tarnwick\\Kelvane\\Defaults.ini",
                    journalFolder + L"\\tw3.tmp", true, 3};
    copied.backupCopied = true;
    image.entries.push_back(copied);
    LogEntry kept{LogKind::File, image.installFolder + L"\\Uninstall.exe", {}, false, 2};
    kept.keptInPlace = true;
    kept.keptAttributes = 0x21;
    image.entries.push_back(kept);
    image.entries.push_back({LogKind::File,
                             L"C:\\Users\\Ann\\AppData\\Roaming\\Tarnwick\\Kelvane\\User.ini",
                             {},
                             true,
                             3});
    image.entries.push_back({LogKind::ProgramShortcut, menu + L"\\Programs\\Kelvane 3.00g.lnk",
                             journalFolder + L"\\twFFFF.tmp", false, -1});
    image.entries.push_back({LogKind::UninstallKey, {}, {}, false, -1});
    image.savedValues.push_back({L"HKEY_LOCAL_MACHINE\\Software\\Tarnwick",
                                 L"Kelvane 3 Path",
                                 true,
                                 1,
                                 {0x43, 0x00, 0x3A, 0x00, 0x00, 0x00}});
    image.savedValues.push_back({L"HKEY_CLASSES_ROOT\\Kelvane.Document.3\\DefaultIcon",
                                 L"",
                                 false,
                                 0,
                                 {},
                                 L"HKEY_CLASSES_ROOT\\Kelvane.Document.3"});
    image.savedAccess.push_back({L"C:\\ProgramData\\Tarnwick", {0x01, 0x00, 0x04, 0x80}});
    image.savedAccess.push_back(
        {L"C:\\ProgramData\\Tarnwick\\Kelvane\\Defaults.ini", {0x01, 0x00, 0x14, 0x80}});
    return image;
}

std::vector<std::uint8_t> Bytes(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    tw::appendUtf16le(bytes, text);
    return {bytes.begin(), bytes.end()};
}

std::wstring Text(const std::vector<std::uint8_t>& bytes) {
    return tw::decodeUtf16le(reinterpret_cast<const char*>(bytes.data() + 2),
                             (bytes.size() - 2) / 2);
}

// The lines of a journal without its last one, sealed again as the writer
// seals them: a file that is whole but says something else.
std::vector<std::uint8_t> Resealed(const std::wstring& lines, std::size_t count) {
    std::vector<std::uint8_t> bytes = Bytes(lines);
    const std::uint32_t crc = payload::crc32(bytes.data(), bytes.size());
    const std::vector<std::uint8_t> seal =
        Bytes(L"end\t" + std::to_wstring(count) + L"\t" + tw::lowerHex(crc, 8) + L"\r\n");
    bytes.insert(bytes.end(), seal.begin() + 2, seal.end());
    return bytes;
}

TEST(JournalFile, WhatIsWrittenReadsBackTheSame) {
    const JournalImage image = SampleImage();
    EXPECT_EQ(decodeJournal(encodeJournal(image)), image);
    EXPECT_EQ(decodeJournal(encodeJournal(JournalImage{})), JournalImage{});
}

TEST(JournalFile, AFileCutShortOrChangedIsNotRead) {
    const std::vector<std::uint8_t> whole = encodeJournal(SampleImage());
    const std::wstring text = Text(whole);
    const std::size_t sealAt = text.rfind(L"end\t");
    const std::wstring body = text.substr(0, sealAt);
    const auto lines = static_cast<std::size_t>(std::count(body.begin(), body.end(), L'\n'));
    struct Damage {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Damage> damages = {
        {"empty", {}},
        {"only the byte-order mark", {0xFF, 0xFE}},
        {"without its last line end", {whole.begin(), whole.end() - 2}},
        {"without its seal", Bytes(body)},
        {"an odd byte more",
         [&] {
             auto bytes = whole;
             bytes.push_back(0x41);
             return bytes;
         }()},
        {"a line after the seal",
         [&] {
             auto bytes = whole;
             const auto more = Bytes(L"entry\t0\t-1\td\t-\tC:\\X\t\r\n");
             bytes.insert(bytes.end(), more.begin() + 2, more.end());
             return bytes;
         }()},
        {"no byte-order mark", {whole.begin() + 2, whole.end()}},
        {"another version",
         Resealed(L"Kelvane setup journal\t2" + body.substr(body.find(L"\r\n")), lines)},
        {"a line count that differs", Resealed(body, lines + 1)},
        {"an unknown line", Resealed(body + L"comment\tx\r\n", lines + 1)},
        {"a kind beyond the last", Resealed(body + L"entry\t7\t-1\td\t-\tC:\\X\t\r\n", lines + 1)},
        {"an unknown flag", Resealed(body + L"entry\t1\t-1\tx\t-\tC:\\X\t\r\n", lines + 1)},
        {"a short attribute", Resealed(body + L"entry\t1\t-1\tk\t21\tC:\\X\t\r\n", lines + 1)},
        {"a field too few", Resealed(body + L"entry\t1\t-1\td\t-\tC:\\X\r\n", lines + 1)},
        {"value data of odd length",
         Resealed(body + L"value\tHKEY_CLASSES_ROOT\\.kvd\t\t\t1\t4\r\n", lines + 1)},
        {"a saved DACL without its descriptor", Resealed(body + L"access\tC:\\X\t\r\n", lines + 1)},
        {"a place of another kind", Resealed(body + L"place\tother\tC:\\X\r\n", lines + 1)},
        {"a second run line", Resealed(body + L"run\tC:\\Elsewhere\tC:\\Temp\r\n", lines + 1)},
    };
    // Every single byte changed.
    for (std::size_t at = 0; at < whole.size(); at += 7) {
        auto bytes = whole;
        bytes[at] ^= 0x20;
        damages.push_back({"a byte changed", bytes});
    }
    // Cut at every length.
    for (std::size_t length = 0; length < whole.size(); length += 5) {
        damages.push_back({"cut short", {whole.begin(), whole.begin() + length}});
    }
    for (const Damage& damage : damages) {
        EXPECT_EQ(decodeJournal(damage.bytes), std::nullopt) << damage.what;
    }
    EXPECT_NE(decodeJournal(Resealed(body, lines)), std::nullopt) << "the resealing is sound";
}

TEST(JournalFile, OnlyAJournalWithinWhatAnInstallationChangesIsActedOn) {
    const auto anyValue = [](const std::wstring&, const std::wstring&) { return true; };
    const auto entry = [](const std::wstring& path) {
        return [path](JournalImage& image) {
            image.entries.push_back({LogKind::File, path, {}, true, 1});
        };
    };
    // A journal of one file in one recorded place.
    const auto onlyPlace = [](const std::wstring& place, const std::wstring& file) {
        return [place, file](JournalImage& image) {
            image = JournalImage{image.installFolder, {place}};
            image.entries.push_back({LogKind::File, place + L"\\" + file, {}, true, 1});
        };
    };
    struct Case {
        const char* what;
        std::function<void(JournalImage&)> change;
        bool within;
    };
    const Case cases[] = {
        {"as written", [](JournalImage&) {}, true},
        {"a backup in another folder",
         [](JournalImage& image) { image.entries.back().backup = L"C:\\Temp\\tw1.tmp"; }, false},
        {"a backup in a folder below",
         [](JournalImage& image) { image.entries.back().backup = journalFolder + L"\\a\\tw1.tmp"; },
         false},
        {"a backup named otherwise",
         [](JournalImage& image) { image.entries.back().backup = journalFolder + L"\\x.dll"; },
         false},
        {"a backup with a relative step",
         [](JournalImage& image) {
             image.entries.back().backup = journalFolder + L"\\..\\tw1.tmp";
         },
         false},
        {"a backup in the folder named in another case",
         [](JournalImage& image) {
             image.entries.back().backup = L"c:\\windows\\KELVANE 3 SETUP\\TW1.TMP";
         },
         true},
        {"another temporary folder",
         [](JournalImage& image) { image.tempFolder = L"C:\\Windows\\System32"; }, false},
        {"no temporary folder", [](JournalImage& image) { image.tempFolder.clear(); }, true},
        {"a created key that is not on the value's way",
         [](JournalImage& image) {
             image.savedValues.back().createdKey = L"HKEY_CLASSES_ROOT\\Kelvane";
         },
         false},
        {"a file of the installation folder",
         entry(L"C:\\Program Files\\Tarnwick\\Kelvane 3\\x.dll"), true},
        {"a file elsewhere", entry(L"C:\\Windows\\System32\\x.dll"), false},
        {"a file in the recorded user's data",
         entry(L"C:\\Users\\Ann\\AppData\\Roaming\\Tarnwick\\Kelvane\\Other.ini"), true},
        {"a file in another user's data",
         entry(L"C:\\Users\\Bob\\AppData\\Roaming\\Tarnwick\\Kelvane\\User.ini"), false},
        {"a shared place in other letter case",
         onlyPlace(L"c:\\programdata\\TARNWICK", L"Kelvane\\Defaults.ini"), true},
        {"a place of another shape", onlyPlace(L"C:\\Windows", L"win.ini"), false},
        {"a place of a profile's shape in another folder",
         onlyPlace(L"C:\\Others\\Ann\\AppData\\Roaming\\Tarnwick", L"User.ini"), false},
        {"a place of a profile's shape two levels down",
         onlyPlace(L"C:\\Users\\Ann\\x\\AppData\\Roaming\\Tarnwick", L"User.ini"), false},
        {"a place of a profile's shape with a step up",
         onlyPlace(L"C:\\Users\\..\\AppData\\Roaming\\Tarnwick", L"User.ini"), false},
        {"the folder of the profiles as a place", onlyPlace(L"C:\\Users", L"Ann\\x.ini"), false},
        {"a shortcut place used for data",
         [](JournalImage& image) {
             image.dataPlaces.clear();
             image.entries.push_back({LogKind::File, menu + L"\\Programs\\x.lnk", {}, true, 1});
         },
         false},
        {"a DACL saved outside the places",
         [](JournalImage& image) { image.savedAccess.back().path = L"C:\\Windows\\win.ini"; },
         false},
        {"an earlier shortcut outside the places",
         [](JournalImage& image) { image.earlier.front().path = L"C:\\Menu\\Kelvane 3.00e.lnk"; },
         false},
    };
    for (const Case& tried : cases) {
        JournalImage image = SampleImage();
        image.entries.push_back({LogKind::File, image.installFolder + L"\\X.dll",
                                 journalFolder + L"\\tw2.tmp", true, 1});
        tried.change(image);
        EXPECT_EQ(journalWithinBounds(image, journalFolder, shapes, anyValue), tried.within)
            << tried.what;
    }
    EXPECT_FALSE(journalWithinBounds(SampleImage(), journalFolder, shapes,
                                     [](const std::wstring& key, const std::wstring&) {
                                         return key.find(L"DefaultIcon") == std::wstring::npos;
                                     }))
        << "a value the installation does not set";
}

} // namespace
