// Shell folders by CSIDL, asked with the owner window, and the destination
// tokens resolved against them.
#include "payload/destination.h"
#include "install/same_path.h"
#include "support/shell_folder_path.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

using namespace payload;
using testing_support::directShellFolder;
using tw::shellFolderPathWithOwner;

class ShellFolders : public testing::TestWithParam<int> {};

TEST_P(ShellFolders, NameAnExistingFolder) {
    const std::wstring folder = shellFolderPathWithOwner(GetParam());
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, directShellFolder(GetParam()));
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

INSTANTIATE_TEST_SUITE_P(TokenFolders, ShellFolders,
                         testing::Values(csidl::personal, csidl::desktopDirectory,
                                         csidl::commonDesktopDirectory, csidl::appData,
                                         csidl::commonAppData, csidl::windows, csidl::systemFolder,
                                         csidl::programFiles, csidl::programFilesCommon,
                                         csidl::commonDocuments));

TEST(ShellFolder, UnknownCsidlIsEmpty) {
    EXPECT_EQ(shellFolderPathWithOwner(0x7F), L"");
}

TEST(ShellFolder, WorksWithAnActiveOwnerWindow) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ::ShowWindow(window, SW_SHOW);
    ::SetActiveWindow(window);
    EXPECT_EQ(shellFolderPathWithOwner(csidl::commonAppData),
              directShellFolder(csidl::commonAppData));
    ::DestroyWindow(window);
}

TEST(ShellFolder, ResolvesTheShippedDestinations) {
    SharedFolderList shared(SamePath);
    DestinationResolver resolver(
        {L"C:\\Program Files\\Tarnwick\\Kelvane 3", L"Kelvane Examples", L""},
        shellFolderPathWithOwner, shared);
    const std::wstring commonData = directShellFolder(csidl::commonAppData);
    const std::wstring userData = directShellFolder(csidl::appData);
    const std::wstring desktop = directShellFolder(csidl::commonDesktopDirectory);
    EXPECT_EQ(resolver.resolveFolder(L"<CommonData>\\Tarnwick\\Kelvane"),
              commonData + L"\\Tarnwick\\Kelvane");
    EXPECT_EQ(resolver.resolveFolder(L"<CommonData>\\Tarnwick\\Kelvane"),
              commonData + L"\\Tarnwick\\Kelvane");
    EXPECT_EQ(resolver.resolveFolder(L"<UserData>\\Tarnwick\\Kelvane"),
              userData + L"\\Tarnwick\\Kelvane");
    EXPECT_EQ(resolver.resolveFolder(L"<SamplePath>"), desktop + L"\\Kelvane Examples");
    EXPECT_EQ(resolver.resolveFolder(L"<InstallPath>\\Lang"),
              L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Lang");
    ASSERT_EQ(shared.folders().size(), 3u);
    EXPECT_EQ(shared.folders()[0].path, commonData + L"\\Tarnwick");
    EXPECT_EQ(shared.folders()[1].path, commonData + L"\\Tarnwick\\Kelvane");
    EXPECT_EQ(shared.folders()[2].path, desktop + L"\\Kelvane Examples");
}

} // namespace
