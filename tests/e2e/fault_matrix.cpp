// The fault matrix: for every entry of the payload, an installer whose entry
// has a wrong CRC-32, run on a clean machine and over an older installation
// in which the user changed a data file. Each failure leaves the machine
// exactly as it was; an entry that the update skips cannot fail it.
//
// The installers are written once (FaultMatrixSetup.Variants), and the update
// cases start from copies of one prepared machine
// (FaultMatrixSetup.EarlierInstallation): tests/e2e/CMakeLists.txt registers
// the setups as fixtures and every case as a test of its own.
#include "installation.h"
#include "test_data.h"

#include "support/unique_resource.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace e2e;

constexpr std::size_t payloadEntries = KV_PAYLOAD_ENTRIES;
constexpr wchar_t makerKey[] = L"Software\\Tarnwick";
constexpr wchar_t uninstallList[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The uninstall list as the machine snapshot names it.
const std::wstring uninstallListItem = std::wstring(L"HKLM\\") + uninstallList;

enum class Start { Clean, Earlier };

struct Case {
    Start start;
    std::size_t entry; // from 0, in payload order
};

// "Entry01" for the first entry: the name of its case and of its installer's folder.
std::string entryName(std::size_t entry) {
    const std::string number = std::to_string(entry + 1);
    return "Entry" + std::string(number.size() < 2 ? 1 : 0, '0') + number;
}

// The installer whose entry has a wrong CRC-32, under its own name in a folder
// of its own.
std::wstring variantPath(std::size_t entry) {
    const std::string name = entryName(entry);
    return (std::filesystem::path(pathFromEnvironment(L"KV_VARIANTS")) /
            std::wstring(name.begin(), name.end()) / L"InstallKelvane3.00g.exe")
        .wstring();
}

// The data file the user of the earlier installation changed.
std::wstring changedDataFile(const PayloadArchive& archive,
                             const std::vector<payload::ArchiveEntry>& files) {
    return files[archive.indexOf(payload::DataFile)].destination;
}

TEST(FaultMatrixSetup, Variants) {
    const PayloadArchive original = PayloadArchive::of(installerPath());
    ASSERT_EQ(original.entries().size(), payloadEntries);
    for (std::size_t entry = 0; entry < payloadEntries; ++entry) {
        PayloadArchive archive = original;
        archive.corruptContents(entry);
        const std::filesystem::path variant = variantPath(entry);
        std::filesystem::create_directories(variant.parent_path());
        const std::wstring relative =
            variant.lexically_relative(pathFromEnvironment(L"KV_VARIANTS")).wstring();
        installerVariant(relative, testing_support::compress(archive.bytes()));
    }
}

// A quick installation made older, as a release before this one would have
// left it, with the user's own settings in a data file.
TEST(FaultMatrixSetup, EarlierInstallation) {
    const Destinations destinations = quickDestinations();
    const PayloadArchive archive = PayloadArchive::of(installerPath());
    installQuickly();
    setInstalledVersion(destinations, 0x0003000000050000ull, L"3.00e");
    writeFile(changedDataFile(archive, installedFiles(archive, destinations)), usersSettings);
}

class FaultMatrix : public testing::TestWithParam<Case> {};

TEST_P(FaultMatrix, WrongCrcInTheEntry) {
    const Case tried = GetParam();
    const PayloadArchive archive = PayloadArchive::of(installerPath());
    const std::vector<payload::ArchiveEntry> files = installedFiles(archive, quickDestinations());
    ASSERT_EQ(files.size(), payloadEntries);
    const payload::ArchiveEntry& file = files[tried.entry];
    if (tried.start == Start::Earlier) {
        ASSERT_EQ(fileContents(changedDataFile(archive, files)), usersSettings)
            << "the machine was not prepared";
    }
    // An update installs no samples over an older version and keeps the data
    // files the earlier installation has, without reading their CRC-32.
    const bool skipped = tried.start == Start::Earlier &&
                         (file.kind == payload::Sample || file.kind == payload::DataFile);
    const std::optional<std::string> earlier = fileContents(file.destination);
    const MachineState before = snapshotMachine();

    Installer installer(variantPath(tried.entry));
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame);
    install(frame);
    if (skipped) {
        leaveInstalled(installer, frame);
        EXPECT_EQ(fileContents(file.destination), earlier);
        EXPECT_EQ(fileContents(changedDataFile(archive, files)), usersSettings);
        return;
    }
    expectFailedInstallation(frame, L"3",
                             L"Copying File  " + quotedWhenBlank(file.destination) + L"...Failed");
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
    exitConfirmed(installer, frame);
}

// Gives a key (made when missing) a DACL that lets everyone do anything but
// what denied names. False when the key still grants it (the system does not
// check the DACL).
bool refuseOnKey(const wchar_t* path, REGSAM denied) {
    tw::unique_hkey key;
    EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring sddl = L"D:(D;;" + std::to_wstring(denied) + L";;;WD)(A;;KA;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    EXPECT_EQ(::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    ::LocalFree(descriptor);
    tw::unique_hkey granted;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, denied, granted.put()) != ERROR_SUCCESS;
}

// The steps after the extraction that something outside the installer can
// make fail.
enum class Step { ProductPath, UninstallKey, UninstallLog };

struct StepCase {
    Start start;
    Step step;
};

class FaultAfterExtraction : public testing::TestWithParam<StepCase> {};

// The product path refused fails the installation, which is undone. The
// uninstall key and the log only fail their line of the progress log: the
// installation completes, and what stood there before stays as it was.
TEST_P(FaultAfterExtraction, StepFails) {
    const StepCase tried = GetParam();
    const Destinations destinations = quickDestinations();
    const std::wstring log = destinations.installFolder + L"\\Uninstall.ulog";
    const std::optional<std::string> earlierLog = fileContents(log);
    tw::unique_file held;
    switch (tried.step) {
    case Step::ProductPath:
        if (!refuseOnKey(makerKey, KEY_SET_VALUE)) {
            GTEST_SKIP() << "the registry does not check the key's DACL";
        }
        break;
    case Step::UninstallKey:
        if (!refuseOnKey(uninstallList, KEY_CREATE_SUB_KEY)) {
            GTEST_SKIP() << "the registry does not check the key's DACL";
        }
        break;
    case Step::UninstallLog:
        // A folder where the log goes; over the earlier installation, its log
        // held open without sharing (below, once the machine is recorded).
        if (!earlierLog) {
            std::filesystem::create_directories(log);
        }
        break;
    }
    const MachineState before = snapshotMachine();
    if (tried.step == Step::UninstallLog && earlierLog) {
        held.reset(::CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
    }

    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame);
    install(frame);
    if (tried.step == Step::ProductPath) {
        expectFailedInstallation(frame, L"-1", L"Registry Data Writing...Failed");
        EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
        exitConfirmed(installer, frame);
        return;
    }
    const std::vector<std::wstring> lines = logLines(frame);
    const std::wstring failedLine = tried.step == Step::UninstallKey
                                        ? L"Registry Data Writing...Failed"
                                        : L"Installation Data Writing...Failed";
    EXPECT_NE(std::find(lines.begin(), lines.end(), failedLine), lines.end());
    leaveInstalled(installer, frame);
    held.reset();
    // What the failed step would have changed, as it was.
    const std::wstring& kept = tried.step == Step::UninstallKey ? uninstallListItem : log;
    const auto below = [&](const MachineState& state) {
        MachineState part;
        for (const auto& [item, description] : state) {
            if (item.starts_with(kept)) {
                part.emplace(item, description);
            }
        }
        return part;
    };
    EXPECT_EQ(differences(below(before), below(snapshotMachine())), std::vector<std::wstring>{});
    if (tried.step == Step::UninstallLog) {
        EXPECT_EQ(fileContents(log), earlierLog);
    }
}

std::vector<Case> everyEntry(Start start) {
    std::vector<Case> cases;
    for (std::size_t entry = 0; entry < payloadEntries; ++entry) {
        cases.push_back({start, entry});
    }
    return cases;
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
    return entryName(info.param.entry);
}

INSTANTIATE_TEST_SUITE_P(Clean, FaultMatrix, testing::ValuesIn(everyEntry(Start::Clean)), caseName);
INSTANTIATE_TEST_SUITE_P(Earlier, FaultMatrix, testing::ValuesIn(everyEntry(Start::Earlier)),
                         caseName);
std::vector<StepCase> everyStep(Start start) {
    return {{start, Step::ProductPath}, {start, Step::UninstallKey}, {start, Step::UninstallLog}};
}

std::string stepName(const testing::TestParamInfo<StepCase>& info) {
    constexpr const char* names[] = {"ProductPath", "UninstallKey", "UninstallLog"};
    return names[static_cast<int>(info.param.step)];
}

INSTANTIATE_TEST_SUITE_P(Clean, FaultAfterExtraction, testing::ValuesIn(everyStep(Start::Clean)),
                         stepName);
INSTANTIATE_TEST_SUITE_P(Earlier, FaultAfterExtraction,
                         testing::ValuesIn(everyStep(Start::Earlier)), stepName);

} // namespace
