#include "install/log_format.h"

#include "test_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::widenLatin1;

// The UTF-16LE bytes of text, characters of the basic plane only.
std::vector<std::uint8_t> Utf16Bytes(std::wstring_view text, bool withMark = true) {
    std::vector<std::uint8_t> bytes;
    if (withMark) {
        bytes = {0xFF, 0xFE};
    }
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

// The lines of an encoded log (basic plane only): checks the mark and that
// every line ends in CR LF.
std::vector<std::wstring> DecodeLines(const std::vector<std::uint8_t>& bytes) {
    EXPECT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(bytes.size() % 2, 0u);
    std::wstring text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(L"\r\n", start);
        EXPECT_NE(end, std::wstring::npos) << "line without CR LF";
        if (end == std::wstring::npos) {
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

LogContents ReadText(std::wstring_view text) {
    return readLog(Utf16Bytes(text), widenLatin1);
}

LogEntry Entry(LogKind kind, std::wstring path, bool done = true, std::int32_t value = -1) {
    return {kind, std::move(path), {}, done, value};
}

constexpr wchar_t programsFolder[] =
    L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnwick\\Kelvane 3";

LogHeader FirstInstallation() {
    return {L"Kelvane 3.00g", L"", L"C:\\Program Files\\Tarnwick\\Kelvane 3", programsFolder};
}

LogEntries ExampleEntries() {
    return {
        Entry(LogKind::Folder, L"C:\\Program Files\\Tarnwick"),
        Entry(LogKind::Folder, L"C:\\Program Files\\Tarnwick\\Kelvane 3"),
        Entry(LogKind::File, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Uninstall.exe", true, 2),
        Entry(LogKind::File, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", true, 1),
        Entry(LogKind::ProgramShortcut, std::wstring(programsFolder) + L"\\Kelvane 3.00g.lnk"),
        Entry(LogKind::UninstallKey, L""),
        Entry(LogKind::FileAssociations, L""),
    };
}

// A log of the format with the given entry lines after its header.
std::wstring LogWithLines(const std::vector<std::wstring>& entryLines) {
    std::wstring text =
        L"// Uninstall Log File v1\r\n"
        L"// ############ WARNING: Do not delete or modify this file. ############\r\n"
        L"// Install Kelvane 3.00f\r\n"
        L"// Install Path : C:\\K\r\n"
        L"// Shortcut Path : C:\\S\r\n"
        L"// --------------------\r\n";
    for (const auto& line : entryLines) {
        text += line + L"\r\n";
    }
    return text;
}

TEST(LogWriter, ExampleLogLineForLine) {
    LogEntries entries = ExampleEntries();
    stampFixedPaths(entries, L"Kelvane 3");
    const std::vector<std::wstring> expected = {
        L"// Uninstall Log File v1",
        L"// ############ WARNING: Do not delete or modify this file. ############",
        L"// Install Kelvane 3.00g",
        L"// Install Path : C:\\Program Files\\Tarnwick\\Kelvane 3",
        L"// Shortcut Path : C:\\ProgramData\\Microsoft\\Windows\\Start "
        L"Menu\\Programs\\Tarnwick\\Kelvane 3",
        L"// "
        L"---------------------------------------------------------------------------------------",
        L"0000:00ff:1 -- C:\\Program Files\\Tarnwick",
        L"0001:00ff:1 -- C:\\Program Files\\Tarnwick\\Kelvane 3",
        L"0002:0102:1 -- C:\\Program Files\\Tarnwick\\Kelvane 3\\Uninstall.exe",
        L"0003:0101:1 -- C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe",
        L"0004:02ff:1 -- C:\\ProgramData\\Microsoft\\Windows\\Start "
        L"Menu\\Programs\\Tarnwick\\Kelvane 3\\Kelvane 3.00g.lnk",
        L"0005:05ff:1 -- "
        L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
        L"\\Kelvane 3",
        L"0006:06ff:1 -- HKEY_CLASSES_ROOT\\...",
    };
    EXPECT_EQ(DecodeLines(encodeLog(FirstInstallation(), entries)), expected);
}

TEST(LogWriter, UpdateNamesTheEarlierLabelOnLine3) {
    LogHeader header = FirstInstallation();
    header.previousLabel = L"Kelvane 3.00f";
    EXPECT_EQ(logHeaderLines(header)[2], L"Install Kelvane 3.00g -- Update (Kelvane 3.00f)");
}

TEST(LogWriter, RuleUnderLine5CountsUtf16CodeUnits) {
    LogHeader header = FirstInstallation();
    header.shortcutFolder = L"C:\\S\U0001F600";
    const auto lines = logHeaderLines(header);
    EXPECT_EQ(lines[5], std::wstring(16 + 6, L'-'));
    header.shortcutFolder.clear();
    EXPECT_EQ(logHeaderLines(header)[5], std::wstring(16, L'-'));
}

struct EntryLineCase {
    std::size_t index;
    LogEntry entry;
    const wchar_t* line;
};

void PrintTo(const EntryLineCase& param, std::ostream* out) {
    *out << testing::PrintToString(std::wstring(param.line));
}

class LogEntryLineTest : public testing::TestWithParam<EntryLineCase> {};

TEST_P(LogEntryLineTest, FormatsIndexCodeFlagAndPath) {
    const auto& param = GetParam();
    EXPECT_EQ(logEntryLine(param.index, param.entry), param.line);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LogEntryLineTest,
    testing::Values(EntryLineCase{0, Entry(LogKind::Folder, L"C:\\A"), L"0000:00ff:1 -- C:\\A"},
                    EntryLineCase{7, Entry(LogKind::File, L"x", false, 0), L"0007:0100:0 -- x"},
                    EntryLineCase{42, Entry(LogKind::File, L"d", true, 3), L"0042:0103:1 -- d"},
                    // Only the low byte of the value is written.
                    EntryLineCase{1, Entry(LogKind::File, L"v", true, 0x1234), L"0001:0134:1 -- v"},
                    EntryLineCase{9999, Entry(LogKind::DesktopShortcut, L""), L"9999:04ff:1 -- "},
                    EntryLineCase{12345, Entry(LogKind::UninstallShortcut, L"u", false),
                                  L"12345:03ff:0 -- u"}));

TEST(LogReader, WrittenLogReadsBackTheSame) {
    LogEntries entries = ExampleEntries();
    entries.push_back(Entry(LogKind::File, L"C:\\Data\\not done.dat", false, 3));
    entries.push_back(Entry(LogKind::DesktopShortcut, L"C:\\Users\\Public\\Desktop\\K.lnk", false));
    stampFixedPaths(entries, L"Kelvane 3");
    LogHeader header = FirstInstallation();
    header.previousLabel = L"Kelvane 3.00f";

    const LogContents read = readLog(encodeLog(header, entries), widenLatin1);

    EXPECT_EQ(read.previousLabel, L"Kelvane 3.00g");
    EXPECT_EQ(read.installPath, header.installFolder);
    EXPECT_EQ(read.shortcutPath, header.shortcutFolder);
    LogEntries expected = entries;
    for (LogEntry& entry : expected) {
        if (entry.kind == LogKind::UninstallKey || entry.kind == LogKind::FileAssociations) {
            entry.path.clear(); // the reader keeps no path for these kinds
        }
    }
    EXPECT_EQ(read.entries, expected);
}

TEST(LogReader, UpdateLineKeepsOnlyTheFirstLabel) {
    const auto read = ReadText(L"// Uninstall Log File v1\r\n// W\r\n"
                               L"// Install Kelvane 3.00f -- Update (Kelvane 3.00e)\r\n");
    EXPECT_EQ(read.previousLabel, L"Kelvane 3.00f");
    LogHeader header = FirstInstallation();
    header.previousLabel = read.previousLabel;
    EXPECT_EQ(logHeaderLines(header)[2], L"Install Kelvane 3.00g -- Update (Kelvane 3.00f)");
}

TEST(LogReader, TenThousandEntriesHaveFiveDigitIndexes) {
    LogEntries entries;
    for (int i = 0; i < 10050; ++i) {
        entries.push_back(Entry(LogKind::File, L"C:\\K\\f" + std::to_wstring(i), i % 2 == 0, 4));
    }
    const auto bytes = encodeLog(FirstInstallation(), entries);
    const auto lines = DecodeLines(bytes);
    ASSERT_EQ(lines.size(), 6u + 10050u);
    EXPECT_EQ(lines[6 + 9999], L"9999:0104:0 -- C:\\K\\f9999");
    EXPECT_EQ(lines[6 + 10000], L"10000:0104:1 -- C:\\K\\f10000");
    EXPECT_EQ(readLog(bytes, widenLatin1).entries, entries);
}

TEST(LogReader, KindCodesAndValues) {
    const auto read = ReadText(LogWithLines({
        L"0000:0003:0 -- C:\\Folder with value",
        L"0001:0103:1 -- C:\\data.dat",
        L"0002:01ff:1 -- C:\\none",
        L"0003:05ff:1 -- HKEY_LOCAL_MACHINE\\whatever",
        L"0004:06ff:0 -- HKEY_CLASSES_ROOT\\...",
        L"0005:04FF:1 -- upper-case hexadecimal",
    }));
    const LogEntries expected = {
        Entry(LogKind::Folder, L"C:\\Folder with value", false, 3),
        Entry(LogKind::File, L"C:\\data.dat", true, 3),
        Entry(LogKind::File, L"C:\\none", true, -1),
        Entry(LogKind::UninstallKey, L"", true, -1),
        Entry(LogKind::FileAssociations, L"", false, -1),
        Entry(LogKind::DesktopShortcut, L"upper-case hexadecimal", true, -1),
    };
    EXPECT_EQ(read.entries, expected);
    EXPECT_EQ(read.installPath, L"C:\\K");
    EXPECT_EQ(read.shortcutPath, L"C:\\S");
    EXPECT_EQ(read.previousLabel, L"Kelvane 3.00f");
}

TEST(LogReader, ItemsMayHaveWhiteSpaceBeforeThem) {
    const auto read = ReadText(LogWithLines({L"  12 :\t0101 : 1   --    C:\\spaced path  \t"}));
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries.front(), Entry(LogKind::File, L"C:\\spaced path", true, 1));
}

class MalformedLineTest : public testing::TestWithParam<const wchar_t*> {};

TEST_P(MalformedLineTest, StopsReadingAndKeepsWhatCameBefore) {
    const auto read = ReadText(LogWithLines({
        L"0000:00ff:1 -- C:\\first",
        L"0001:0101:0 -- C:\\second",
        GetParam(),
        L"0003:00ff:1 -- C:\\after the bad line",
    }));
    const LogEntries expected = {Entry(LogKind::Folder, L"C:\\first"),
                                 Entry(LogKind::File, L"C:\\second", false, 1)};
    EXPECT_EQ(read.entries, expected);
    EXPECT_EQ(read.previousLabel, L"Kelvane 3.00f");
    EXPECT_EQ(read.installPath, L"C:\\K");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MalformedLineTest,
    testing::Values(L"0002:07ff:1 -- kind 7", L"0002:ffff:1 -- kind 255",
                    L"0002 00ff:1 -- missing colon", L"0002:00ff 1 -- missing second colon",
                    L"0002:00ff:2 -- flag 2", L"0002:00ff:x -- flag x", L"0002:00ff:1 - one hyphen",
                    L"0002:00ff:1 --- three", L"0002:00ff:1 --path", L"0002:00ff:1",
                    L"-1:00ff:1 -- negative index", L"0002:zz:1 -- code not hexadecimal",
                    L"0002:0x00ff:1 -- code with prefix", L"99999999999:00ff:1 -- index too large",
                    L"", L"   \t", L"Install Path : C:\\not a header"));

TEST(LogReader, WrongVersionYieldsNothing) {
    for (const wchar_t* first : {L"// Uninstall Log File v2", L"// Uninstall Log File v",
                                 L"// Uninstall Log File version 1", L"0000:00ff:1 -- C:\\x"}) {
        std::wstring text = LogWithLines({L"0000:00ff:1 -- C:\\x"});
        text.replace(0, text.find(L"\r\n"), first);
        const auto read = ReadText(text);
        EXPECT_TRUE(read.entries.empty()) << testing::PrintToString(std::wstring(first));
        EXPECT_TRUE(read.installPath.empty());
        EXPECT_TRUE(read.shortcutPath.empty());
        EXPECT_TRUE(read.previousLabel.empty());
    }
}

TEST(LogReader, HeaderPrefixesAreRequired) {
    // Line 4 without its prefix ends the reading after the label.
    auto read = ReadText(L"// Uninstall Log File v1\r\n// W\r\n// Install A\r\n"
                         L"// Path : C:\\K\r\n// Shortcut Path : C:\\S\r\n// ---\r\n"
                         L"0000:00ff:1 -- C:\\x\r\n");
    EXPECT_EQ(read.previousLabel, L"A");
    EXPECT_TRUE(read.installPath.empty());
    EXPECT_TRUE(read.shortcutPath.empty());
    EXPECT_TRUE(read.entries.empty());

    read = ReadText(L"// Uninstall Log File v1\r\n// W\r\n// Setup A\r\n");
    EXPECT_TRUE(read.previousLabel.empty());

    read = ReadText(L"// Uninstall Log File v1\r\n// W\r\n// Install A\r\n"
                    L"// Install Path : C:\\K\r\n// Shortcut : C:\\S\r\n"
                    L"0000:00ff:1 -- C:\\x\r\n");
    EXPECT_EQ(read.installPath, L"C:\\K");
    EXPECT_TRUE(read.shortcutPath.empty());
    EXPECT_TRUE(read.entries.empty());
}

TEST(LogReader, HeaderLinesAreTakenByNumber) {
    // Slashes and white space before the text are dropped; lines 2 and 6 and
    // any later header line are ignored, even between entries.
    const auto read = ReadText(L"//// Uninstall Log File v1  \r\n"
                               L"// anything\r\n"
                               L"//\tInstall   Kelvane 3.00f   \r\n"
                               L"//Install Path :  C:\\K  \r\n"
                               L"// Shortcut Path : C:\\S\r\n"
                               L"// Install Path : C:\\ignored\r\n"
                               L"0000:00ff:1 -- C:\\a\r\n"
                               L"// Shortcut Path : C:\\ignored too\r\n"
                               L"0001:00ff:1 -- C:\\b\r\n");
    EXPECT_EQ(read.previousLabel, L"Kelvane 3.00f");
    EXPECT_EQ(read.installPath, L"C:\\K");
    EXPECT_EQ(read.shortcutPath, L"C:\\S");
    EXPECT_EQ(read.entries.size(), 2u);
}

TEST(LogReader, EntryLinesNeedTheVersionLine) {
    const auto read = ReadText(L"0000:00ff:1 -- C:\\a\r\n// Uninstall Log File v1\r\n");
    EXPECT_TRUE(read.entries.empty());
}

TEST(LogReader, CodeUnitsWithByte0AStayInTheirLine) {
    // U+010A is written 0A 01, U+4E0A 0A 4E, U+0A00 00 0A: a reader that looked
    // for the byte 0x0A would cut these lines.
    const LogEntries entries = {
        Entry(LogKind::File, L"C:\\\u010A\\\u4E0A\u0A0A.txt", true, 0),
        Entry(LogKind::Folder, L"C:\\\u0A00\u0A30"),
    };
    const auto read = readLog(encodeLog(FirstInstallation(), entries), widenLatin1);
    EXPECT_EQ(read.entries, entries);
}

TEST(LogReader, CharactersBeyondTheBasicPlaneRoundTrip) {
    const LogEntries entries = {Entry(LogKind::File, L"C:\\\U0001F600\\x", true, 4)};
    const auto bytes = encodeLog(FirstInstallation(), entries);
    // The path is written as a surrogate pair, whatever the width of wchar_t.
    const std::vector<std::uint8_t> pair = {0x3D, 0xD8, 0x00, 0xDE};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), pair.begin(), pair.end()), bytes.end());
    EXPECT_EQ(readLog(bytes, widenLatin1).entries, entries);
}

TEST(LogReader, AnsiLogIsWidenedLineByLine) {
    const std::string text = "// Uninstall Log File v1\r\n// W\r\n// Install Kelvane 3.00f\r\n"
                             "// Install Path : C:\\Caf\xE9\r\n// Shortcut Path : C:\\S\n"
                             "// -\r\n0000:0101:1 -- C:\\Caf\xE9\\\x80.exe\r\n"
                             "0001:00ff:0 -- C:\\last line without line feed";
    std::vector<std::string> widened;
    // A code page where 0x80 is the euro sign, as in Windows-1252.
    const WidenFunction widen = [&](std::string_view line) {
        widened.emplace_back(line);
        std::wstring wide = widenLatin1(line);
        for (wchar_t& c : wide) {
            if (c == 0x80) {
                c = L'\u20AC';
            }
        }
        return wide;
    };
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    const auto read = readLog(bytes, widen);
    EXPECT_EQ(read.installPath, L"C:\\Caf\u00E9");
    EXPECT_EQ(read.shortcutPath, L"C:\\S");
    const LogEntries expected = {Entry(LogKind::File, L"C:\\Caf\u00E9\\\u20AC.exe", true, 1),
                                 Entry(LogKind::Folder, L"C:\\last line without line feed", false)};
    EXPECT_EQ(read.entries, expected);
    EXPECT_EQ(widened.size(), 8u);
}

TEST(LogReader, BigEndianMarkIsNotUtf16) {
    auto bytes = Utf16Bytes(LogWithLines({L"0000:00ff:1 -- C:\\a"}), false);
    bytes.insert(bytes.begin(), {0xFE, 0xFF});
    EXPECT_TRUE(readLog(bytes, widenLatin1).entries.empty());
}

// A line that does not fit the reader's buffer is passed over whole: nothing
// read before it is lost, no path is cut short, and reading goes on after it.
TEST(LogReader, OverlongLineIsPassedOverWhole) {
    const auto read = ReadText(LogWithLines({
        L"0000:00ff:1 -- C:\\before",
        L"0001:00ff:1 -- C:\\" + std::wstring(3000, L'L'),
        L"0002:00ff:1 -- C:\\after",
    }));
    const LogEntries expected = {Entry(LogKind::Folder, L"C:\\before"),
                                 Entry(LogKind::Folder, L"C:\\after")};
    EXPECT_EQ(read.entries, expected);
}

TEST(LogReader, LineBufferLimitIsExact) {
    // 511 code units and LF fit in 1,024 bytes; 512 do not.
    const std::wstring prefix = L"0000:00ff:1 -- ";
    const std::wstring header = LogWithLines({});
    for (const std::size_t units : {510u, 511u, 512u}) {
        const std::wstring path(units - prefix.size(), L'p');
        const std::wstring text = header + prefix + path + L"\n0001:00ff:1 -- C:\\next\n";
        const auto read = ReadText(text);
        ASSERT_FALSE(read.entries.empty());
        if (units <= 511) {
            ASSERT_EQ(read.entries.size(), 2u) << units;
            EXPECT_EQ(read.entries.front().path, path);
        } else {
            ASSERT_EQ(read.entries.size(), 1u) << units;
            EXPECT_EQ(read.entries.front().path, L"C:\\next");
        }
    }
}

TEST(LogReader, OverlongHeaderLineLeavesItsValueEmpty) {
    const std::wstring folder = L"C:\\" + std::wstring(600, L'k');
    const auto read = ReadText(L"// Uninstall Log File v1\r\n// W\r\n// Install A\r\n"
                               L"// Install Path : " +
                               folder + L"\r\n// Shortcut Path : C:\\S\r\n// -\r\n" +
                               L"0000:00ff:1 -- C:\\a\r\n");
    EXPECT_TRUE(read.installPath.empty());
    EXPECT_EQ(read.shortcutPath, L"C:\\S");
    EXPECT_EQ(read.entries.size(), 1u);
}

TEST(LogReader, AnsiLineBufferLimitIsExact) {
    const std::string header = "// Uninstall Log File v1\n";
    for (const std::size_t bytes : {1023u, 1024u}) {
        const std::string line = "0000:00ff:1 -- " + std::string(bytes - 15, 'a');
        const std::string text = header + line + "\n0001:00ff:1 -- C:\\next\n";
        const auto read = readLog(std::vector<std::uint8_t>(text.begin(), text.end()), widenLatin1);
        EXPECT_EQ(read.entries.size(), bytes == 1023 ? 2u : 1u) << bytes;
        EXPECT_EQ(read.entries.back().path, L"C:\\next");
    }
}

TEST(LogReader, PiecesGiveTheSameResultAsTheWhole) {
    LogEntries entries = ExampleEntries();
    entries.push_back(Entry(LogKind::File, L"C:\\\u010A\U0001F600", false, 3));
    const auto bytes = encodeLog(FirstInstallation(), entries);
    const auto whole = readLog(bytes, widenLatin1);
    for (const std::size_t piece : {1u, 3u, 7u}) {
        LogReader reader(widenLatin1);
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            const auto size = std::min(piece, bytes.size() - at);
            ASSERT_TRUE(reader.feed(std::span(bytes).subspan(at, size)));
        }
        reader.finish();
        EXPECT_EQ(reader.contents().entries, whole.entries) << piece;
        EXPECT_EQ(reader.contents().installPath, whole.installPath);
    }
}

TEST(LogReader, FeedReportsTheStop) {
    LogReader reader(widenLatin1);
    const auto bytes = Utf16Bytes(L"// Uninstall Log File v9\r\n0000:00ff:1 -- C:\\a\r\n");
    EXPECT_FALSE(reader.feed(bytes));
    EXPECT_TRUE(reader.stopped());
    EXPECT_FALSE(reader.feed(bytes));
}

TEST(LogReader, EmptyAndTinyFilesYieldNothing) {
    for (const std::vector<std::uint8_t>& bytes :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0xFF},
          std::vector<std::uint8_t>{0xFF, 0xFE}, std::vector<std::uint8_t>{0xFF, 0xFE, 0x2F},
          std::vector<std::uint8_t>{'\n', '\n'}}) {
        const auto read = readLog(bytes, widenLatin1);
        EXPECT_TRUE(read.entries.empty());
        EXPECT_TRUE(read.installPath.empty());
        EXPECT_TRUE(read.previousLabel.empty());
    }
}

TEST(LogReader, TrailingOddByteIsIgnored) {
    auto bytes = Utf16Bytes(LogWithLines({L"0000:00ff:1 -- C:\\a"}));
    bytes.push_back(0x41);
    EXPECT_EQ(readLog(bytes, widenLatin1).entries.size(), 1u);
}

} // namespace
