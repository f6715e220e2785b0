#include "app/detection_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t own = 0x0003000000070001ull; // 3.0.7.1

std::uint64_t version(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                      std::uint16_t revision) {
    return (std::uint64_t{major} << 48) | (std::uint64_t{minor} << 32) |
           (std::uint64_t{build} << 16) | revision;
}

struct ClassCase {
    const char* name;
    bool registered;
    std::optional<std::uint64_t> fileVersion;
    ExistingState state;
    bool showsVersionText;
    std::uint64_t existingVersion;
    bool takesEarlierLog;
};

class Classification : public testing::TestWithParam<ClassCase> {};

TEST_P(Classification, FollowsTheInstalledFileVersion) {
    const ClassCase& c = GetParam();
    const InstalledProgram found = classifyInstalledProgram(c.registered, c.fileVersion, own);
    EXPECT_EQ(found.state, c.state);
    EXPECT_EQ(found.showsVersionText, c.showsVersionText);
    EXPECT_EQ(found.existingVersion, c.existingVersion);
    EXPECT_EQ(found.takesEarlierLog, c.takesEarlierLog);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Classification,
    testing::Values(
        ClassCase{"NothingRegistered", false, std::nullopt, NotInstalled, false, 0, false},
        // Whatever a stale version says, no program file means no installation.
        ClassCase{"NoFileButAVersion", false, version(3, 0, 5, 0), NotInstalled, false, 0, false},
        ClassCase{"NoFixedInformation", true, std::nullopt, SameInstalled, false, 0, true},
        ClassCase{"Same", true, own, SameInstalled, false, 0, true},
        ClassCase{"NextRevision", true, version(3, 0, 7, 2), NewerInstalled, true, 0, false},
        ClassCase{"NextMinor", true, version(3, 1, 0, 0), NewerInstalled, true, 0, false},
        // Compared as one unsigned number: a major version with its top bit set
        // is the newest there is.
        ClassCase{"TopBitMajor", true, version(0x8000, 0, 0, 0), NewerInstalled, true, 0, false},
        ClassCase{"Older", true, version(3, 0, 5, 0), OlderInstalled, true, 0x0003000000050000ull,
                  true},
        ClassCase{"PreviousBuild", true, version(3, 0, 6, 9), OlderInstalled, true,
                  version(3, 0, 6, 9), true},
        // The build decides before the revision, however large the revision.
        ClassCase{"HighRevisionOfAnEarlierBuild", true, version(3, 0, 6, 0xFFFF), OlderInstalled,
                  true, version(3, 0, 6, 0xFFFF), true},
        ClassCase{"PreviousMajor", true, version(2, 9, 9, 9), OlderInstalled, true,
                  version(2, 9, 9, 9), true}),
    [](const testing::TestParamInfo<ClassCase>& param) { return std::string(param.param.name); });

struct CandidateCase {
    const char* name;
    std::optional<std::wstring> uninstallString;
    std::wstring installer;
    std::wstring registered;
    std::vector<std::wstring> candidates;
};

class LogCandidates : public testing::TestWithParam<CandidateCase> {};

TEST_P(LogCandidates, InTheOrderTheyAreLookedFor) {
    const CandidateCase& c = GetParam();
    EXPECT_EQ(earlierLogCandidates(c.uninstallString, c.installer, c.registered), c.candidates);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LogCandidates,
    testing::Values(CandidateCase{"AllThree",
                                  L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Uninstall.exe",
                                  L"D:\\Downloads\\InstallKelvane3.00g.exe",
                                  L"E:\\Kelvane\\Kelvane.exe",
                                  {L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Uninstall.ulog",
                                   L"D:\\Downloads\\Uninstall.ulog",
                                   L"E:\\Kelvane\\Uninstall.ulog"}},
                    CandidateCase{"NoUninstallString",
                                  std::nullopt,
                                  L"D:\\Setup\\Install.exe",
                                  L"E:\\K\\Kelvane.exe",
                                  {L"D:\\Setup\\Uninstall.ulog", L"E:\\K\\Uninstall.ulog"}},
                    // The last separator of either kind ends the folder.
                    CandidateCase{"ForwardSlashLast",
                                  L"C:\\Apps\\K 3/Uninstall.exe",
                                  L"D:/Setup/Install.exe",
                                  L"",
                                  {L"C:\\Apps\\K 3\\Uninstall.ulog", L"D:/Setup\\Uninstall.ulog"}},
                    CandidateCase{"BackslashLast",
                                  L"C:/Apps/K 3\\Uninstall.exe",
                                  L"D:\\Install.exe",
                                  L"",
                                  {L"C:/Apps/K 3\\Uninstall.ulog", L"D:\\Uninstall.ulog"}},
                    // A bare or empty value names no folder; the drive's root is no guess.
                    CandidateCase{"BareUninstallString",
                                  L"Uninstall.exe",
                                  L"D:\\Setup\\Install.exe",
                                  L"E:\\K\\Kelvane.exe",
                                  {L"D:\\Setup\\Uninstall.ulog", L"E:\\K\\Uninstall.ulog"}},
                    CandidateCase{"EmptyUninstallString",
                                  L"",
                                  L"D:\\Setup\\Install.exe",
                                  L"",
                                  {L"D:\\Setup\\Uninstall.ulog"}}),
    [](const testing::TestParamInfo<CandidateCase>& param) {
        return std::string(param.param.name);
    });

} // namespace
