#include "payload/grant_shared_folders.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using payload::GrantSharedFolders;
using payload::SharedFolderList;

struct WalkCase {
    const char* name;
    std::set<std::wstring> folders;   // what exists
    std::vector<std::wstring> listed; // registered, in order
    std::wstring fileFolder;
    std::wstring failingGrant;        // a grant of this folder raises
    std::wstring unreadable;          // asking about this path raises
    std::vector<std::wstring> grants; // the grants asked for, in order
    std::vector<bool> marked;         // per listed folder
};

class GrantSharedFoldersTest : public testing::TestWithParam<WalkCase> {};

TEST_P(GrantSharedFoldersTest, GrantsListedAncestorsOnce) {
    const WalkCase& c = GetParam();
    SharedFolderList list([](const std::wstring& a, const std::wstring& b) { return a == b; });
    for (const std::wstring& folder : c.listed) {
        list.RegisterSharedFolder(folder);
    }
    std::vector<std::wstring> grants;
    const payload::SharedFolderAccess access{[&](const std::wstring& path) {
                                                 if (path == c.unreadable) {
                                                     throw std::runtime_error("no status");
                                                 }
                                                 return c.folders.count(path) > 0;
                                             },
                                             [&](const std::wstring& folder) {
                                                 grants.push_back(folder);
                                                 if (folder == c.failingGrant) {
                                                     throw std::runtime_error("no rights");
                                                 }
                                             }};
    GrantSharedFolders(list, c.fileFolder, access);
    // A second file in the same folder grants nothing more.
    GrantSharedFolders(list, c.fileFolder, access);
    EXPECT_EQ(grants, c.grants);
    std::vector<bool> marked;
    for (const payload::SharedFolder& folder : list.folders()) {
        marked.push_back(folder.granted);
    }
    EXPECT_EQ(marked, c.marked);
}

const std::set<std::wstring> machine = {L"C:", L"C:\\Data", L"C:\\Data\\Tarnwick",
                                        L"C:\\Data\\Tarnwick\\Kelvane", L"C:\\Data\\Other"};

const std::wstring tarnwick = L"C:\\Data\\Tarnwick";
const std::wstring kelvane = L"C:\\Data\\Tarnwick\\Kelvane";

INSTANTIATE_TEST_SUITE_P(
    Walks, GrantSharedFoldersTest,
    testing::Values(
        // The first grant failing: it stays marked, and the next folder goes on.
        WalkCase{"BothLevelsWhenTheFileLandsInTheLower",
                 machine,
                 {tarnwick, kelvane},
                 kelvane,
                 tarnwick,
                 {},
                 {tarnwick, kelvane},
                 {true, true}},
        WalkCase{"TwoLevelsAboveIsFoundAndAnotherFolderWaits",
                 machine,
                 {L"C:\\Data\\Other", L"C:\\Data", kelvane + L"\\Deeper"},
                 kelvane,
                 {},
                 {},
                 {L"C:\\Data"},
                 {false, true, false}},
        WalkCase{"MissingFileFolderEndsTheWalk",
                 machine,
                 {L"C:\\Data"},
                 L"C:\\Data\\Missing",
                 {},
                 {},
                 {},
                 {false}},
        WalkCase{"UnreadableStatusEndsThatFolderOnly",
                 machine,
                 {L"C:\\Data", tarnwick},
                 kelvane,
                 {},
                 L"C:\\Data",
                 {tarnwick},
                 {false, true}}),
    [](const testing::TestParamInfo<WalkCase>& param) { return param.param.name; });

} // namespace
