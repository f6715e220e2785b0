// After a quick installation every user may change the shared data: the
// shared folders and every data file carry one entry for the Users group in
// place of any earlier one, and no other object's DACL is written. A link
// that an ordinary user put where users may change things turns neither a
// write nor a grant onto another folder.
#include "installation.h"
#include "server_trace.h"
#include "test_data.h"
#include "test_support.h"
#include "text_case.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using namespace e2e;
using testing_support::lowerCase;

const std::wstring users = L"S-1-5-32-545";

// The DACL the installer should write over the one it read: the explicit
// entries, the new Users entry, the inherited entries, every earlier Users
// entry left out.
std::vector<TracedEntry> expectedDacl(const std::vector<TracedEntry>& before,
                                      const TracedEntry& granted) {
    std::vector<TracedEntry> dacl;
    bool added = false;
    for (const TracedEntry& entry : before) {
        if (!added && (entry.flags & INHERITED_ACE)) {
            dacl.push_back(granted);
            added = true;
        }
        if (entry.sid != users) {
            dacl.push_back(entry);
        }
    }
    if (!added) {
        dacl.push_back(granted);
    }
    return dacl;
}

// The control bits that must carry over from the DACL read.
unsigned carriedControl(unsigned before) {
    unsigned carried = 0;
    if (before & SE_DACL_AUTO_INHERITED) {
        carried |= SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED;
    }
    return carried | (before & SE_DACL_PROTECTED);
}

// A failed update leaves a data file it kept as it was: its contents and
// attributes, and the DACL it read before it granted Users access there,
// which the undoing puts back; so do the shared folders it granted.
TEST(FolderRights, FailedUpdateLeavesAKeptDataFileAsItWas) {
    const std::wstring trace = serverTracePath();
    ASSERT_FALSE(trace.empty()) << "the scenario runs with the Wine server's request trace";
    const Destinations destinations = quickDestinations();
    PayloadArchive archive = PayloadArchive::of(installerPath());
    const std::vector<payload::ArchiveEntry> files = installedFiles(archive, destinations);
    installQuickly();
    setInstalledVersion(destinations, 0x0003000000050000ull, L"3.00e");
    const std::wstring kept = files[archive.indexOf(payload::DataFile)].destination;
    writeFile(kept, "[kept]\n");
    ASSERT_TRUE(
        ::SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    archive.corruptContents(archive.indexOf(payload::MainProgram));
    const std::wstring variant =
        installerVariant(L"InstallKelvane3.00g.exe", testing_support::compress(archive.bytes()));
    const MachineState before = snapshotMachine();

    Installer installer(variant);
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame);
    install(frame);
    expectFailedInstallation(
        frame, L"3", L"Copying File  " + quotedWhenBlank(destinations.mainProgram) + L"...Failed");
    exitConfirmed(installer, frame);
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});

    // Path (lower case) -> its DACL writes, in order: the grant, then the
    // DACL read before it, put back.
    std::map<std::wstring, std::vector<DaclWrite>> writes;
    for (DaclWrite& write : daclWrites(trace, installer.id())) {
        writes[lowerCase(write.path)].push_back(std::move(write));
    }
    ASSERT_EQ(writes.count(lowerCase(kept)), 1u) << "the kept data file was granted access";
    for (const auto& [path, written] : writes) {
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        ASSERT_EQ(written.size(), 2u);
        ASSERT_TRUE(written.front().readBefore);
        EXPECT_EQ(written.back().written, written.front().before);
        EXPECT_EQ(written.back().control & SE_DACL_PROTECTED,
                  written.front().controlBefore & SE_DACL_PROTECTED);
    }
}

TEST(FolderRights, SharedFoldersAndDataFilesGetOneUsersEntryEach) {
    const std::wstring trace = serverTracePath();
    ASSERT_FALSE(trace.empty()) << "the scenario runs with the Wine server's request trace";
    const Destinations destinations = quickDestinations();
    const std::vector<payload::ArchiveEntry> files =
        installedFiles(PayloadArchive::of(installerPath()), destinations);
    const std::wstring commonData = shellFolder(CSIDL_COMMON_APPDATA);
    // A data file kept from before receives the grant as well.
    const std::wstring kept = commonData + L"\\Tarnwick\\Kelvane\\Defaults.ini";
    std::filesystem::create_directories(std::filesystem::path(kept).parent_path());
    std::ofstream(std::filesystem::path(kept)) << "[kept]\n";

    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame);
    install(frame);
    click(frame, IDOK);
    expectPage(frame, wizard::EndPage);
    click(frame, IDCANCEL);
    ASSERT_EQ(installer.waitForExit(), std::optional<DWORD>(0));

    // Path (lower case) -> the entry it must get.
    std::map<std::wstring, TracedEntry> expected;
    const TracedEntry folderEntry{L"ACCESS_ALLOWED", 3, 0x001F01FF, users};
    for (const std::wstring& folder :
         {commonData + L"\\Tarnwick", commonData + L"\\Tarnwick\\Kelvane",
          destinations.sampleFolder}) {
        expected[lowerCase(folder)] = folderEntry;
    }
    for (const payload::ArchiveEntry& file : files) {
        if (file.kind == payload::DataFile) {
            expected[lowerCase(file.destination)] = {L"ACCESS_ALLOWED", 0, 0x0013019F, users};
        }
    }
    ASSERT_EQ(expected.size(), 6u);
    ASSERT_EQ(expected.count(lowerCase(kept)), 1u);

    std::map<std::wstring, int> written;
    for (const DaclWrite& write : daclWrites(trace, installer.id())) {
        const std::wstring path = lowerCase(write.path);
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        ++written[path];
        const auto granted = expected.find(path);
        if (granted == expected.end()) {
            ADD_FAILURE() << "a DACL the installer has no reason to write";
            continue;
        }
        ASSERT_TRUE(write.readBefore) << "written without reading the DACL first";
        EXPECT_EQ(write.written, expectedDacl(write.before, granted->second));
        EXPECT_EQ(write.control & carriedControl(write.controlBefore),
                  carriedControl(write.controlBefore));
    }
    for (const auto& [path, entry] : expected) {
        EXPECT_EQ(written[path], 1) << std::string(path.begin(), path.end());
    }
}

// Starts the installer, installs in quick mode and expects it to refuse the
// first data file, below the link, as it refuses any file it cannot write;
// then leaves. The DACLs that the installer wrote.
std::vector<DaclWrite> refusedAtTheFirstDataFile(const std::wstring& trace) {
    const std::wstring dataFile =
        shellFolder(CSIDL_COMMON_APPDATA) + L"\\Tarnwick\\Kelvane\\Templates.kvt";
    Installer installer;
    HWND frame = waitForFrame(installer);
    EXPECT_NE(frame, nullptr);
    if (frame == nullptr) {
        return {};
    }
    toProgressPage(frame);
    install(frame);
    expectFailedInstallation(frame, L"7",
                             L"Copying File  " + quotedWhenBlank(dataFile) + L"...Failed");
    exitConfirmed(installer, frame);
    return daclWrites(trace, installer.id());
}

TEST(FolderRights, SharedFolderLinkedToTheProgramFolderGetsNothing) {
    const std::wstring trace = serverTracePath();
    ASSERT_FALSE(trace.empty()) << "the scenario runs with the Wine server's request trace";
    const Destinations destinations = quickDestinations();
    installQuickly();
    // Users may change the shared folder: one empties it and puts a link to
    // the program folder in its place.
    const std::wstring shared = shellFolder(CSIDL_COMMON_APPDATA) + L"\\Tarnwick\\Kelvane";
    std::filesystem::remove_all(std::filesystem::path(shared));
    testing_support::makeFolderLink(shared, destinations.installFolder);
    setInstalledVersion(destinations, 0x0003000000050000ull, L"3.00e");
    const MachineState before = snapshotMachine();

    // The update writes nothing through the link, and grants nothing at all:
    // the program folder keeps its DACL.
    for (const DaclWrite& write : refusedAtTheFirstDataFile(trace)) {
        ADD_FAILURE() << "a DACL written: " << std::string(write.path.begin(), write.path.end());
    }
    EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
}

TEST(FolderRights, LinkInTheSharedDataFailsTheInstallation) {
    const std::wstring trace = serverTracePath();
    ASSERT_FALSE(trace.empty()) << "the scenario runs with the Wine server's request trace";
    const std::wstring commonData = shellFolder(CSIDL_COMMON_APPDATA);
    // Stands for a system folder.
    const std::filesystem::path target = L"C:\\Target";
    std::filesystem::create_directories(target);
    std::ofstream(target / L"System.ini") << "[system]\n";
    const std::wstring examples = lowerCase(quickDestinations().sampleFolder);
    for (const std::wstring linked : {L"Tarnwick", L"Tarnwick\\Kelvane"}) {
        SCOPED_TRACE(std::string(linked.begin(), linked.end()));
        const std::filesystem::path link = commonData + L"\\" + linked;
        std::filesystem::create_directories(link.parent_path());
        testing_support::makeFolderLink(link.wstring(), target.wstring());
        const MachineState before = snapshotMachine();

        // Nothing is created or granted in the target: the only folder
        // granted is the real shared folder of the samples, before the
        // installation was undone.
        for (const DaclWrite& write : refusedAtTheFirstDataFile(trace)) {
            EXPECT_EQ(lowerCase(write.path), examples);
        }
        EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
        testing_support::removeFolderLink(link.wstring());
    }
}

} // namespace
