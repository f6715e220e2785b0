// After a quick installation every user may change the shared data: the
// shared folders and every data file carry one entry for the Users group in
// place of any earlier one, and no other object's DACL is written.
#include "installation.h"
#include "server_trace.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using namespace e2e;

const std::wstring users = L"S-1-5-32-545";

std::wstring lowerCase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

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
    click(frame, ids::next);
    expectPage(frame, End);
    click(frame, ids::exit);
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

} // namespace
