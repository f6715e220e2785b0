#include "install/same_path.h"

#include "support/unique_resource.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::ScratchFolder;

void Touch(const std::wstring& path) {
    tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << ::GetLastError();
}

class SamePathTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW((folder / L"Data").c_str(), nullptr));
        Touch(folder / L"Data\\Settings File.dat");
        Touch(folder / L"Data\\other.dat");
    }

    // SamePath and PathComparer must agree, in both orders.
    void ExpectSame(const std::wstring& a, const std::wstring& b, bool same) {
        EXPECT_EQ(SamePath(a, b), same)
            << testing::PrintToString(a) << " " << testing::PrintToString(b);
        EXPECT_EQ(SamePath(b, a), same);
        EXPECT_EQ(comparer(a, b), same);
        EXPECT_EQ(comparer(b, a), same);
    }

    ScratchFolder folder{L"same-path"};
    PathComparer comparer;
};

TEST_F(SamePathTest, EqualElementsAreTheSamePath) {
    ExpectSame(L"C:\\No Such\\Folder", L"C:/No Such//Folder", true);
    ExpectSame(L"relative\\x", L"relative/x", true);
}

TEST_F(SamePathTest, ExistingFilesAreComparedByIdentity) {
    ExpectSame(folder / L"Data", folder / L"DATA", true);
    ExpectSame(folder / L"Data\\Settings File.dat", folder / L"data\\settings file.DAT", true);
    ExpectSame(folder / L"Data\\Settings File.dat",
               folder / L"Data\\..\\Data\\.\\Settings File.dat", true);
    ExpectSame(folder / L"Data\\Settings File.dat", folder / L"Data\\other.dat", false);
    ExpectSame(folder / L"Data", folder / L"Data\\other.dat", false);
}

TEST_F(SamePathTest, ShortNameNamesTheSameFile) {
    const std::wstring longName = folder / L"Data\\Settings File.dat";
    wchar_t shortName[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameW(longName.c_str(), shortName, MAX_PATH);
    ASSERT_GT(length, 0u);
    if (std::wstring(shortName) == longName) {
        GTEST_SKIP() << "this volume gives no short names";
    }
    // Only the file system can tell: the elements differ in more than case.
    ExpectSame(longName, shortName, true);
}

TEST_F(SamePathTest, MissingPathsAreComparedIgnoringCase) {
    ExpectSame(folder / L"Missing\\Deeper", folder / L"MISSING\\deeper", true);
    ExpectSame(folder / L"Missing\\Deeper", folder / L"Missing\\Deeper2", false);
    ExpectSame(folder / L"Missing\\Deeper", folder / L"Missing\\Deeper\\", false);
    // One of the two exists: the file system cannot answer for both.
    ExpectSame(folder / L"Data", folder / L"DATA\\missing\\..", true);
}

TEST_F(SamePathTest, RelativePathsAreMadeAbsolute) {
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.path().c_str()));
    ExpectSame(L"missing\\x", folder / L"MISSING\\X", true);
    ExpectSame(L"Data", folder / L"data", true);
    ExpectSame(L"missing\\x", folder / L"missing\\y", false);
    ::SetCurrentDirectoryW(saved);
}

// The shared folders' grant compares names only: a link in place of a shared
// folder is the same file as its target, but never the same folder by name.
TEST_F(SamePathTest, TextIgnoresCaseButNotWhatALinkPointsTo) {
    EXPECT_TRUE(SamePathText(folder / L"Data", folder / L"DATA"));
    EXPECT_TRUE(SamePathText(folder / L"Missing\\X", folder / L"missing/x"));
    EXPECT_FALSE(SamePathText(folder / L"Data\\Settings File.dat",
                              folder / L"Data\\..\\Data\\Settings File.dat"));
    const std::wstring link = folder / L"Link";
    testing_support::makeFolderLink(link, folder / L"Data");
    EXPECT_TRUE(SamePath(link, folder / L"Data")) << "the file system follows the link";
    EXPECT_FALSE(SamePathText(link, folder / L"Data"));
    testing_support::removeFolderLink(link);
}

} // namespace
