#include "payload/destination.h"

#include "payload/compress_error.h"
#include "text_case.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using namespace payload;

const std::wstring sep(1, pathSeparator);

std::wstring path(std::initializer_list<std::wstring> parts) {
    std::wstring joined;
    for (const std::wstring& part : parts) {
        joined = joined.empty() ? part : joined + sep + part;
    }
    return joined;
}

class Destination : public testing::Test {
protected:
    std::map<int, std::wstring> shell = {
        {csidl::programFiles, L"C:\\Program Files"},
        {csidl::programFilesCommon, L"C:\\Program Files\\Common Files"},
        {csidl::commonAppData, L"C:\\ProgramData"},
        {csidl::appData, L"C:\\Users\\u\\AppData\\Roaming"},
        {csidl::commonDocuments, L"C:\\Users\\Public\\Documents"},
        {csidl::personal, L"C:\\Users\\u\\Documents"},
        {csidl::commonDesktopDirectory, L"C:\\Users\\Public\\Desktop"},
        {csidl::desktopDirectory, L"C:\\Users\\u\\Desktop"},
        {csidl::windows, L"C:\\Windows"},
        {csidl::systemFolder, L"C:\\Windows\\system32"},
    };
    std::vector<int> asked;
    SharedFolderList shared{[](const std::wstring& a, const std::wstring& b) { return a == b; }};
    BaseFolders folders{L"C:\\Apps\\Kelvane 3", L"Kelvane Examples", L"C:\\Temp\\tarnwick_{x}"};

    std::wstring resolve(const std::wstring& destination) {
        DestinationResolver resolver(
            folders,
            [this](int csidl) {
                asked.push_back(csidl);
                const auto found = shell.find(csidl);
                return found == shell.end() ? std::wstring() : found->second;
            },
            shared);
        return resolver.resolveFolder(destination);
    }

    std::vector<std::wstring> marked() const {
        std::vector<std::wstring> paths;
        for (const SharedFolder& folder : shared.folders()) {
            paths.push_back(folder.path);
        }
        return paths;
    }
};

struct TokenCase {
    const char* name;
    std::wstring destination;
    std::wstring folder;
};

class DestinationTokens : public Destination, public testing::WithParamInterface<TokenCase> {};

TEST_P(DestinationTokens, ResolveToTheirFolder) {
    EXPECT_EQ(resolve(GetParam().destination), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DestinationTokens,
    testing::Values(
        TokenCase{"InstallPath", L"<InstallPath>", L"C:\\Apps\\Kelvane 3"},
        TokenCase{"InstallPathLang", L"<InstallPath>\\Lang",
                  path({L"C:\\Apps\\Kelvane 3", L"Lang"})},
        TokenCase{"ProgramFiles", L"<ProgramFiles>\\X", path({L"C:\\Program Files", L"X"})},
        TokenCase{"ProgramCommon", L"<ProgramCommon>", L"C:\\Program Files\\Common Files"},
        TokenCase{"CommonData", L"<CommonData>", L"C:\\ProgramData"},
        TokenCase{"UserData", L"<UserData>/Tarnwick/Kelvane",
                  path({L"C:\\Users\\u\\AppData\\Roaming", L"Tarnwick", L"Kelvane"})},
        TokenCase{"CommonDocuments", L"<CommonDocuments>", L"C:\\Users\\Public\\Documents"},
        TokenCase{"Documents", L"<Documents>", L"C:\\Users\\u\\Documents"},
        TokenCase{"CommonDesktop", L"<CommonDesktop>", L"C:\\Users\\Public\\Desktop"},
        TokenCase{"Desktop", L"<Desktop>", L"C:\\Users\\u\\Desktop"},
        TokenCase{"WinDir", L"<WinDir>", L"C:\\Windows"},
        TokenCase{"System", L"<System>", L"C:\\Windows\\system32"},
        TokenCase{"Temporary", L"<Temporary>\\t", path({L"C:\\Temp\\tarnwick_{x}", L"t"})},
        TokenCase{"EmptyComponentsSkipped", L"<InstallPath>\\\\Lang\\",
                  path({L"C:\\Apps\\Kelvane 3", L"Lang"})},
        TokenCase{"LowerCaseTokenIsUnknown", L"<installpath>\\Lang", L"Lang"},
        TokenCase{"UnknownTokenAlone", L"<Nowhere>", L""},
        TokenCase{"UnknownTokenWithPath", L"<Nowhere>\\A\\B", path({L"A", L"B"})},
        TokenCase{"NotClosed", L"<InstallPath\\Lang", L"<InstallPath\\Lang"},
        TokenCase{"AbsolutePath", L"D:\\Data\\Kelvane", L"D:\\Data\\Kelvane"},
        TokenCase{"RelativePath", L"Data\\Kelvane", L"Data\\Kelvane"},
        TokenCase{"Empty", L"", L""}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(Destination, CommonDataMarksEveryLevelBelowTheToken) {
    EXPECT_EQ(resolve(L"<CommonData>\\Tarnwick\\Kelvane"),
              path({L"C:\\ProgramData", L"Tarnwick", L"Kelvane"}));
    EXPECT_EQ(marked(),
              (std::vector<std::wstring>{path({L"C:\\ProgramData", L"Tarnwick"}),
                                         path({L"C:\\ProgramData", L"Tarnwick", L"Kelvane"})}));
    resolve(L"<CommonData>\\Tarnwick\\Kelvane");
    EXPECT_EQ(shared.folders().size(), 2u);
}

TEST_F(Destination, CommonDocumentsAndDesktopMarkToo) {
    resolve(L"<CommonDocuments>\\A");
    resolve(L"<CommonDesktop>\\B");
    EXPECT_EQ(marked(), (std::vector<std::wstring>{path({L"C:\\Users\\Public\\Documents", L"A"}),
                                                   path({L"C:\\Users\\Public\\Desktop", L"B"})}));
}

TEST_F(Destination, OtherTokensAndPathsMarkNothing) {
    for (const wchar_t* destination :
         {L"<InstallPath>\\Lang", L"<UserData>\\Tarnwick\\Kelvane", L"<ProgramFiles>\\X",
          L"<Documents>\\Y", L"<Desktop>\\Z", L"<Temporary>\\T", L"C:\\ProgramData\\Tarnwick",
          L"<Nowhere>\\A"}) {
        resolve(destination);
    }
    EXPECT_TRUE(shared.folders().empty());
}

TEST_F(Destination, CommonFoldersFallBackToTheUsersFolder) {
    shell.erase(csidl::commonAppData);
    shell.erase(csidl::commonDocuments);
    shell.erase(csidl::commonDesktopDirectory);
    EXPECT_EQ(resolve(L"<CommonData>"), L"C:\\Users\\u\\AppData\\Roaming");
    EXPECT_EQ(resolve(L"<CommonDocuments>"), L"C:\\Users\\u\\Documents");
    EXPECT_EQ(resolve(L"<CommonDesktop>"), L"C:\\Users\\u\\Desktop");
    EXPECT_EQ(resolve(L"<SamplePath>"), path({L"C:\\Users\\u\\Desktop", L"Kelvane Examples"}));
}

TEST_F(Destination, MissingShellFolderIsError7) {
    shell.clear();
    for (const wchar_t* destination : {L"<ProgramFiles>", L"<CommonData>\\A", L"<SamplePath>"}) {
        try {
            resolve(destination);
            ADD_FAILURE() << "no error";
        } catch (const std::system_error& error) {
            EXPECT_EQ(error.code(), make_error_code(compress_errc::unexpected));
        }
    }
    EXPECT_TRUE(shared.folders().empty());
}

TEST_F(Destination, TokensWithoutShellFolderNeedNoLookup) {
    shell.clear();
    folders.samples = L"D:\\Examples";
    EXPECT_EQ(resolve(L"<InstallPath>"), L"C:\\Apps\\Kelvane 3");
    EXPECT_EQ(resolve(L"<Temporary>"), L"C:\\Temp\\tarnwick_{x}");
    EXPECT_EQ(resolve(L"<SamplePath>"), L"D:\\Examples");
    EXPECT_TRUE(asked.empty());
}

TEST_F(Destination, RelativeSampleFolderIsBelowTheCommonDesktopAndMarked) {
    EXPECT_EQ(resolve(L"<SamplePath>\\Sub"),
              path({L"C:\\Users\\Public\\Desktop", L"Kelvane Examples", L"Sub"}));
    EXPECT_EQ(marked(), std::vector<std::wstring>{
                            path({L"C:\\Users\\Public\\Desktop", L"Kelvane Examples"})});
    EXPECT_EQ(asked, std::vector<int>{csidl::commonDesktopDirectory});
}

TEST_F(Destination, EmptySampleFolderIsTheDesktopUnmarked) {
    folders.samples.clear();
    EXPECT_EQ(resolve(L"<SamplePath>"), L"C:\\Users\\Public\\Desktop");
    EXPECT_TRUE(shared.folders().empty());
}

TEST_F(Destination, AbsoluteSampleFolderIsUsedAsItIs) {
    for (const wchar_t* samples : {L"D:\\Examples", L"\\\\server\\share\\Examples", L"e:/x"}) {
        folders.samples = samples;
        EXPECT_EQ(resolve(L"<SamplePath>"), samples);
    }
    EXPECT_TRUE(shared.folders().empty());
}

TEST_F(Destination, TemporaryWithoutFolderIsTheInstallationFolder) {
    folders.temporary.clear();
    EXPECT_EQ(resolve(L"<Temporary>"), L"C:\\Apps\\Kelvane 3");
}

TEST(SharedFolderList, RegistersEachFolderOnceByItsEquality) {
    SharedFolderList list([](const std::wstring& a, const std::wstring& b) {
        return testing_support::sameIgnoringCase(a, b);
    });
    list.RegisterSharedFolder(L"C:\\A");
    list.RegisterSharedFolder(L"c:\\a");
    list.RegisterSharedFolder(L"C:\\B");
    ASSERT_EQ(list.folders().size(), 2u);
    EXPECT_EQ(list.folders()[0].path, L"C:\\A");
    EXPECT_FALSE(list.folders()[0].granted);
    EXPECT_EQ(list.folders()[1].path, L"C:\\B");
}

TEST(PathHelpers, JoinAndAbsolute) {
    EXPECT_EQ(joinPath(L"", L"a"), L"a");
    EXPECT_EQ(joinPath(L"C:\\", L"a"), L"C:\\a");
    EXPECT_EQ(joinPath(L"x", L"a"), L"x" + sep + L"a");
    EXPECT_TRUE(isAbsoluteFolder(L"C:\\x"));
    EXPECT_TRUE(isAbsoluteFolder(L"\\\\s\\x"));
    EXPECT_FALSE(isAbsoluteFolder(L"C:x"));
    EXPECT_FALSE(isAbsoluteFolder(L"Kelvane Examples"));
    EXPECT_FALSE(isAbsoluteFolder(L"1:\\x"));
}

} // namespace
