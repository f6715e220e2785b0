#include "install/log_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const LogHeader header{L"Kelvane 3.00g", L"", L"C:\\Program Files\\Tarnwick\\Kelvane 3",
                       L"C:\\ProgramData\\Start Menu\\Programs\\Tarnwick\\Kelvane 3"};

LogEntries SomeEntries() {
    return {{LogKind::Folder, L"C:\\Program Files\\Tarnwick", {}, true, -1},
            {LogKind::File, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Uninstall.exe", {}, true, 2},
            {LogKind::UninstallKey, L"", {}, true, -1}};
}

Bytes LogOf(const LogHeader& logHeader) {
    LogEntries entries = SomeEntries();
    stampFixedPaths(entries, L"Kelvane 3");
    return encodeLog(logHeader, entries);
}

Bytes WholeLog() {
    return LogOf(header);
}

// The log whose header names another installation folder.
Bytes LogInstalledIn(const std::wstring& folder) {
    LogHeader other = header;
    other.installFolder = folder;
    return LogOf(other);
}

// The UTF-16LE bytes of a line and its line end.
Bytes LineBytes(std::wstring_view line) {
    Bytes bytes;
    for (const wchar_t c : std::wstring(line) + L"\r\n") {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(LogCheck, WholeLogGivesItsEntries) {
    const std::optional<LogContents> contents = readCompleteLog(WholeLog());
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(contents->installPath, header.installFolder);
    EXPECT_EQ(contents->entries, SomeEntries());
}

struct Damage {
    const char* name;
    std::function<void(Bytes&)> apply;
};

class DamagedLog : public testing::TestWithParam<Damage> {};

TEST_P(DamagedLog, IsRefused) {
    Bytes bytes = WholeLog();
    GetParam().apply(bytes);
    EXPECT_FALSE(readCompleteLog(bytes).has_value());
}

const Damage damages[] = {
    {"Empty", [](Bytes& b) { b.clear(); }},
    {"CutInsideTheLastLine", [](Bytes& b) { b.resize(b.size() - 10); }},
    {"CutInsideACodeUnit", [](Bytes& b) { b.resize(b.size() - 1); }},
    {"CutBeforeTheLastLineFeed", [](Bytes& b) { b.resize(b.size() - 2); }},
    {"CutInsideTheHeader",
     [](Bytes& b) { b.resize(LineBytes(L"// Uninstall Log File v1").size() + 2); }},
    {"WithoutByteOrderMark", [](Bytes& b) { b.erase(b.begin(), b.begin() + 2); }},
    {"MalformedEntry",
     [](Bytes& b) {
         const Bytes line = LineBytes(L"0003:0z00:1 -- C:\\x");
         b.insert(b.end(), line.begin(), line.end());
     }},
    {"HeaderLineAmongEntries",
     [](Bytes& b) {
         const Bytes line = LineBytes(L"// more");
         b.insert(b.end(), line.begin(), line.end());
     }},
    {"OtherVersion", [](Bytes& b) { b[2 + 2 * 23] = '2'; }},
    // What the uninstaller may act on hangs on the installation folder.
    {"NoInstallFolder", [](Bytes& b) { b = LogInstalledIn(L""); }},
    {"RelativeInstallFolder", [](Bytes& b) { b = LogInstalledIn(L"Tarnwick\\Kelvane 3"); }},
    {"RootRelativeInstallFolder", [](Bytes& b) { b = LogInstalledIn(L"\\Kelvane 3"); }},
};

INSTANTIATE_TEST_SUITE_P(Damages, DamagedLog, testing::ValuesIn(damages),
                         [](const testing::TestParamInfo<Damage>& damage) {
                             return std::string(damage.param.name);
                         });

} // namespace
