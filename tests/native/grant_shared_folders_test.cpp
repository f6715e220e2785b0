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

INSTANTIATE_TEST_SUITE_P(
    Walks, GrantSharedFoldersTest,
    testing::Values(WalkCase{"BothLevelsWhenTheFileLandsInTheLower",
                             machine,
                             {L"C:\\Data\\Tarnwick", L"C:\\Data\\Tarnwick\\Kelvane"},
                             L"C:\\Data\\Tarnwick\\Kelvane",
                             {},
                             {},
                             {L"C:\\Data\\Tarnwick", L"C:\\Data\\Tarnwick\\Kelvane"},
                             {true, true}},
                    WalkCase{"TwoLevelsAbove",
                             machine,
                             {L"C:\\Data"},
                             L"C:\\Data\\Tarnwick\\Kelvane",
                             {},
                             {},
                             {L"C:\\Data"},
                             {true}},
                    WalkCase{"NotAnAncestorWaits",
                             machine,
                             {L"C:\\Data\\Other", L"C:\\Data\\Tarnwick\\Kelvane\\Deeper"},
                             L"C:\\Data\\Tarnwick\\Kelvane",
                             {},
                             {},
                             {},
                             {false, false}},
                    WalkCase{"MissingFileFolderEndsTheWalk",
                             machine,
                             {L"C:\\Data"},
                             L"C:\\Data\\Missing",
                             {},
                             {},
                             {},
                             {false}},
                    WalkCase{"FailedGrantStaysMarkedAndTheNextFolderGoesOn",
                             machine,
                             {L"C:\\Data\\Tarnwick", L"C:\\Data\\Tarnwick\\Kelvane"},
                             L"C:\\Data\\Tarnwick\\Kelvane",
                             L"C:\\Data\\Tarnwick",
                             {},
                             {L"C:\\Data\\Tarnwick", L"C:\\Data\\Tarnwick\\Kelvane"},
                             {true, true}},
                    WalkCase{"UnreadableStatusEndsThatFolderOnly",
                             machine,
                             {L"C:\\Data", L"C:\\Data\\Tarnwick"},
                             L"C:\\Data\\Tarnwick\\Kelvane",
                             {},
                             L"C:\\Data",
                             {L"C:\\Data\\Tarnwick"},
                             {false, true}}),
    [](const testing::TestParamInfo<WalkCase>& param) { return param.param.name; });

} // namespace
