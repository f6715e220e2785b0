// The session's temporary folder name and the clean-up of temporary files.
#include "payload/temp_files.h"
#include "support/temporary_folder.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

namespace {

using namespace payload;

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void touch(const std::wstring& path) {
    ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(TempFolderName, IsANewFolderBelowTheTemporaryDirectory) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    const TempFolderName first = makeTempFolderName();
    const TempFolderName second = makeTempFolderName();
    EXPECT_EQ(first.error, L"");
    ASSERT_EQ(first.path.rfind(temp, 0), 0u);
    const std::wregex leaf(
        LR"(tarnwick_\{[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}\})");
    EXPECT_TRUE(std::regex_match(first.path.substr(std::wstring(temp).size()), leaf));
    EXPECT_NE(first.path, second.path);
    EXPECT_FALSE(exists(first.path));
}

TEST(TempFolderName, TooLongTemporaryDirectoryFails) {
    testing_support::ScratchFolder scratch(L"long-temp");
    std::wstring longFolder = scratch.path();
    while (longFolder.size() < 250) {
        longFolder += L"\\abcdefghijklmnopqrstuvwxyz";
        ::CreateDirectoryW(longFolder.c_str(), nullptr);
    }
    wchar_t saved[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TMP", saved, MAX_PATH);
    ::SetEnvironmentVariableW(L"TMP", longFolder.c_str());
    const TempFolderName name = makeTempFolderName();
    ::SetEnvironmentVariableW(L"TMP", saved[0] != 0 ? saved : nullptr);
    EXPECT_EQ(name.path, L"");
    EXPECT_TRUE(std::regex_match(name.error, std::wregex(LR"([0-9a-f]{8} \(GetTempPath\))")));
}

TEST(TemporaryFile, IsMadeInAFolderOf246CharactersAndNoLonger) {
    testing_support::ScratchFolder scratch(L"temporary-file");
    const std::wstring folder =
        scratch / std::wstring(tw::longestTemporaryFolder - scratch.path().size() - 1, L'a');
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring name = tw::newTemporaryFile(folder);
    EXPECT_TRUE(exists(name)) << "a name in a folder of 246 characters";
    ::DeleteFileW(name.c_str());
    EXPECT_EQ(tw::newTemporaryFile(folder + L"\\"), L"") << "247 characters";
}

TEST(TemporaryFiles, DeletesItsFilesThenTheFolder) {
    testing_support::ScratchFolder scratch(L"temporary-files");
    const std::wstring folder = scratch / L"tarnwick_{x}";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    {
        TemporaryFiles files(folder);
        touch(folder + L"\\a.tmp");
        touch(folder + L"\\b.tmp");
        files.add(folder + L"\\a.tmp");
        files.add(folder + L"\\b.tmp");
        files.add(folder + L"\\never-written.tmp");
        files.cleanUp();
        EXPECT_FALSE(exists(folder + L"\\a.tmp"));
        EXPECT_FALSE(exists(folder));
        EXPECT_TRUE(files.files().empty());
    }
}

TEST(TemporaryFiles, KeepsAFolderThatHoldsOtherFiles) {
    testing_support::ScratchFolder scratch(L"temporary-foreign");
    const std::wstring folder = scratch / L"tarnwick_{y}";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    touch(folder + L"\\listed.tmp");
    touch(folder + L"\\foreign.txt");
    {
        TemporaryFiles files(folder);
        files.add(folder + L"\\listed.tmp");
    } // cleaned when the list ends
    EXPECT_FALSE(exists(folder + L"\\listed.tmp"));
    EXPECT_TRUE(exists(folder + L"\\foreign.txt"));
}

} // namespace
