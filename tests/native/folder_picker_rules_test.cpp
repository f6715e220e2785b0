#include "support/folder_picker_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tw;

TEST(FolderPickerRules, PlainPathCharacters) {
    for (const wchar_t c : std::wstring(L"\"<>|/*?\x01\x1F\t")) {
        EXPECT_FALSE(isPlainPathChar(c)) << static_cast<int>(c);
    }
    EXPECT_FALSE(isPlainPathChar(L'\0'));
    for (const wchar_t c : std::wstring(L"aZ09 .:\\$&()@^'`!#%+,;=[]{}~\x7F\u00E4\u0142\u4E2D")) {
        EXPECT_TRUE(isPlainPathChar(c)) << static_cast<int>(c);
    }
}

struct TextCase {
    const wchar_t* input;
    const wchar_t* expected;
};

class SubFolderTaken : public testing::TestWithParam<TextCase> {};

TEST_P(SubFolderTaken, OnlyWithPlainCharactersAndWithoutTrailingDots) {
    EXPECT_EQ(pickerSubFolder(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SubFolderTaken,
    testing::Values(TextCase{L"Kelvane 3", L"Kelvane 3"}, TextCase{L"Kelvane 3...", L"Kelvane 3"},
                    TextCase{L"Tarnwick\\Kelvane 3.", L"Tarnwick\\Kelvane 3"},
                    TextCase{L"v1.2", L"v1.2"}, TextCase{L"...", L""}, TextCase{L"", L""},
                    TextCase{L"Kel*vane", L""}, TextCase{L"Kelvane?", L""}, TextCase{L"a/b", L""},
                    TextCase{L"Kelvane|3", L""}, TextCase{L"Kelvane\t3", L""}));

struct StartCase {
    const wchar_t* initial;
    const wchar_t* rootPath;
    const wchar_t* expected;
};

class StartFolder : public testing::TestWithParam<StartCase> {};

TEST_P(StartFolder, InitialElseRootElseDocuments) {
    const StartCase& c = GetParam();
    EXPECT_EQ(pickerStartFolder(c.initial, c.rootPath, L"C:\\users\\me\\Documents"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, StartFolder,
    testing::Values(StartCase{L"C:\\Apps", L"", L"C:\\Apps"},
                    StartCase{L"", L"", L"C:\\users\\me\\Documents"},
                    StartCase{L"Apps\\Kelvane 3", L"", L"C:\\users\\me\\Documents"},
                    StartCase{L"Apps", L"C:\\Menu\\Programs", L"C:\\Menu\\Programs"},
                    StartCase{L"", L"C:\\Menu\\Programs", L"C:\\Menu\\Programs"},
                    StartCase{L"D:", L"", L"D:\\"}, StartCase{L"D:", L"C:\\Menu", L"D:\\"},
                    StartCase{L"\\Apps", L"", L"\\Apps"},
                    StartCase{L"\\\\server\\share", L"", L"\\\\server\\share"},
                    StartCase{L"C:Apps", L"", L"C:Apps"}));

struct SubFolderCase {
    const wchar_t* path;
    const wchar_t* subFolder;
    const wchar_t* appended;
    const wchar_t* removed; // removeSubFolder of `appended`
};

class SubFolderRule : public testing::TestWithParam<SubFolderCase> {};

TEST_P(SubFolderRule, KeepsTheSubFolderAtTheEndOnce) {
    const SubFolderCase& c = GetParam();
    const std::wstring appended = appendSubFolder(c.path, c.subFolder);
    EXPECT_EQ(appended, c.appended);
    EXPECT_TRUE(endsWithSubFolder(appended, c.subFolder));
    EXPECT_EQ(appendSubFolder(appended, c.subFolder), appended) << "applied twice";
    EXPECT_EQ(removeSubFolder(appended, c.subFolder), c.removed);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SubFolderRule,
    testing::Values(SubFolderCase{L"C:\\Apps", L"Kelvane 3", L"C:\\Apps\\Kelvane 3", L"C:\\Apps"},
                    SubFolderCase{L"C:\\Apps\\", L"Kelvane 3", L"C:\\Apps\\Kelvane 3", L"C:\\Apps"},
                    SubFolderCase{L"D:\\", L"Kelvane 3", L"D:\\Kelvane 3", L"D:\\"},
                    SubFolderCase{L"C:\\Apps\\Kelvane 3", L"Kelvane 3", L"C:\\Apps\\Kelvane 3",
                                  L"C:\\Apps"},
                    SubFolderCase{L"C:\\Apps\\KELVANE 3\\", L"Kelvane 3", L"C:\\Apps\\KELVANE 3\\",
                                  L"C:\\Apps"},
                    SubFolderCase{L"C:\\Apps\\Kelvane 33", L"Kelvane 3",
                                  L"C:\\Apps\\Kelvane 33\\Kelvane 3", L"C:\\Apps\\Kelvane 33"},
                    SubFolderCase{L"C:\\Old Kelvane 3", L"Kelvane 3",
                                  L"C:\\Old Kelvane 3\\Kelvane 3", L"C:\\Old Kelvane 3"},
                    // The longest leading part of the sub-folder that ends the path is completed.
                    SubFolderCase{L"C:\\Apps\\tarnwick", L"Tarnwick\\Kelvane 3",
                                  L"C:\\Apps\\tarnwick\\Kelvane 3", L"C:\\Apps"},
                    SubFolderCase{L"C:\\Apps", L"Tarnwick\\Kelvane 3",
                                  L"C:\\Apps\\Tarnwick\\Kelvane 3", L"C:\\Apps"},
                    SubFolderCase{L"C:\\Tarnwick\\Kelvane 3", L"Tarnwick\\Kelvane 3",
                                  L"C:\\Tarnwick\\Kelvane 3", L"C:\\"},
                    SubFolderCase{L"C:\\Kelvane 3", L"Tarnwick\\Kelvane 3",
                                  L"C:\\Kelvane 3\\Tarnwick\\Kelvane 3", L"C:\\Kelvane 3"},
                    SubFolderCase{L"C:\\A\\B\\A", L"A\\B\\C", L"C:\\A\\B\\A\\B\\C", L"C:\\A\\B"},
                    // Relative paths, as while a root is set.
                    SubFolderCase{L"Programs", L"Kelvane 3", L"Programs\\Kelvane 3", L"Programs"},
                    SubFolderCase{L"", L"Kelvane 3", L"Kelvane 3", L""},
                    // Letters beyond ASCII compare without case too.
                    SubFolderCase{L"C:\\\u00E9T\u00C9\\\u0142\u00F3d\u017A",
                                  L"\u00C9t\u00E9\\\u0141\u00D3D\u0179",
                                  L"C:\\\u00E9T\u00C9\\\u0142\u00F3d\u017A", L"C:\\"},
                    SubFolderCase{L"C:\\\u0434\u043E\u043C", L"\u0414\u041E\u041C",
                                  L"C:\\\u0434\u043E\u043C", L"C:\\"},
                    // No sub-folder: nothing is added or removed.
                    SubFolderCase{L"C:\\Apps", L"", L"C:\\Apps", L"C:\\Apps"}));

TEST(FolderPickerRules, RemovingASubFolderThatDoesNotEndThePathKeepsIt) {
    EXPECT_EQ(removeSubFolder(L"C:\\Apps\\Other", L"Kelvane 3"), L"C:\\Apps\\Other");
    EXPECT_EQ(removeSubFolder(L"C:\\Kelvane 3\\x", L"Kelvane 3"), L"C:\\Kelvane 3\\x");
    EXPECT_EQ(removeSubFolder(L"C:\\Kelvane", L"Tarnwick\\Kelvane"), L"C:\\Kelvane");
}

TEST(FolderPickerRules, InFolderComparesWholeElements) {
    const wchar_t* menu = L"C:\\ProgramData\\Start Menu";
    EXPECT_TRUE(isInFolder(L"C:\\ProgramData\\Start Menu", menu));
    EXPECT_TRUE(isInFolder(L"c:\\programdata\\START MENU\\Programs\\X", menu));
    EXPECT_TRUE(isInFolder(L"C:\\ProgramData\\Start Menu\\", menu));
    EXPECT_FALSE(isInFolder(L"C:\\ProgramData\\Start Menus", menu));
    EXPECT_FALSE(isInFolder(L"C:\\ProgramData", menu));
    EXPECT_FALSE(isInFolder(L"D:\\ProgramData\\Start Menu\\X", menu));
    EXPECT_FALSE(isInFolder(L"C:\\Apps", L""));
}

// Qualifies as the shell does for the tests: a relative text against the
// current folder C:\Menu, recording every text it is given.
class TypedFolderCheck : public testing::Test {
protected:
    TypedFolder check(std::wstring_view typed, std::wstring_view rootParent = {}) {
        return checkTypedFolder(typed, rootParent, [this](const std::wstring& text) {
            given.push_back(text);
            if (text == L".") {
                return TypedFolder{0, L"C:\\Menu"};
            }
            if (text == L"unknown") {
                return TypedFolder{};
            }
            return TypedFolder{0, isRelativePath(text) ? L"C:\\Menu\\" + text : text};
        });
    }

    std::vector<std::wstring> given;
};

TEST_F(TypedFolderCheck, AcceptsTheQualifiedFolder) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* qualifiedText;
        const wchar_t* folder;
    };
    for (const Case& c : {Case{L"C:\\Apps", L"C:\\Apps", L"C:\\Apps"},
                          Case{L"  C:\\Apps\\ \t", L"C:\\Apps", L"C:\\Apps"},
                          Case{L"D:", L"D:\\", L"D:\\"}, Case{L"D:\\", L"D:\\", L"D:\\"},
                          Case{L"Programs\\New", L"Programs\\New", L"C:\\Menu\\Programs\\New"},
                          Case{L"", L".", L"C:\\Menu"}, Case{L"   ", L".", L"C:\\Menu"}}) {
        given.clear();
        const TypedFolder result = check(c.typed);
        EXPECT_TRUE(result.accepted()) << testing::PrintToString(c.typed);
        EXPECT_EQ(result.folder, c.folder);
        EXPECT_EQ(given, std::vector<std::wstring>{c.qualifiedText});
    }
}

TEST_F(TypedFolderCheck, RefusesWithTheCodeOfTheFault) {
    struct Case {
        std::wstring typed;
        std::wstring rootParent;
        std::int32_t error;
    };
    const std::wstring longest = L"C:\\" + std::wstring(256, L'a');
    ASSERT_EQ(longest.size(), 259u);
    for (const Case& c : {Case{longest + L"a", L"", picker_error::tooLong},
                          Case{std::wstring(300, L' '), L"", picker_error::tooLong},
                          Case{L"C:\\Apps*", L"", picker_error::badPath},
                          Case{L"C:\\What?", L"", picker_error::badPath},
                          Case{L"C:\\a|b", L"", picker_error::badPath},
                          Case{L"C:\\a\"b", L"", picker_error::badPath},
                          Case{L"unknown", L"", picker_error::badPath},
                          Case{L"C:\\Apps", L"C:\\Menu", picker_error::badPath},
                          Case{L"C:\\Menus\\x", L"C:\\Menu", picker_error::badPath},
                          Case{L"Programs\\x*", L"C:\\Menu", picker_error::badPath}}) {
        const TypedFolder result = check(c.typed, c.rootParent);
        EXPECT_EQ(result.error, c.error) << testing::PrintToString(c.typed);
        EXPECT_TRUE(result.folder.empty());
    }
    EXPECT_TRUE(check(longest).accepted()) << "259 characters are not too long";
}

TEST_F(TypedFolderCheck, InsideTheRootParent) {
    EXPECT_EQ(check(L"Programs\\Kelvane 3", L"C:\\Menu").folder, L"C:\\Menu\\Programs\\Kelvane 3");
    EXPECT_EQ(check(L"c:\\menu\\x", L"C:\\Menu").folder, L"c:\\menu\\x");
    EXPECT_EQ(check(L"", L"C:\\Menu").folder, L"C:\\Menu");
}

} // namespace
