// The Browse buttons of the Folder and Shortcut pages: the folder picker
// keeps the product's folder at the end of the choice, and the Shortcut
// page's picker stays in the start menu.
//
// Wine's SHBrowseForFolderW ends on OK without reading the edit box: it never
// sends BFFM_VALIDATEFAILEDW and hands back the folder selected in the tree.
// What depends on the edit box being checked (a folder that does not exist
// yet, a typed folder refused) is asserted only under Windows; the Windows
// test of the picker calls its checks directly.
#include "test_support.h"
#include "wizard.h"

#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace e2e;
using testing_support::runningUnderWine;
using testing_support::settleFolderTimes;

// The frame of a started installer, on the Folder or Shortcut page of the
// advanced installation.
HWND advancedTo(const Installer& installer, int page) {
    HWND frame = waitForFrame(installer);
    if (frame == nullptr) {
        return nullptr;
    }
    advancedToFolderPage(frame);
    if (page == ShortcutPage) {
        click(frame, IDOK);
        expectPage(frame, ShortcutPage);
    }
    return frame;
}

HWND openPicker(const Installer& installer, HWND frame) {
    click(frame, IDC_BROWSE);
    return waitForFolderDialog(installer.id(), {frame});
}

void closePicker(HWND frame, HWND dialog, int button) {
    click(dialog, button);
    EXPECT_TRUE(waitUntil([&] { return !::IsWindow(dialog); })) << "the picker stays open";
    ::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
}

std::wstring pickerText(HWND dialog) {
    HWND edit = folderDialogEditBox(dialog);
    EXPECT_NE(edit, nullptr) << "the picker has no edit box";
    return edit != nullptr ? windowText(edit) : std::wstring{};
}

void setText(HWND window, const std::wstring& text) {
    ::SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool showsText(HWND dialog, const std::wstring& text) {
    struct Search {
        const std::wstring& text;
        bool found;
    } search{text, false};
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM state) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(state);
            s.found = windowText(child) == s.text;
            return !s.found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The page's folder once the page has shown the picker's result.
void expectPageFolder(HWND frame, const std::wstring& expected) {
    waitUntil([&] { return controlText(frame, IDC_FOLDER) == expected; }, 5s);
    EXPECT_EQ(controlText(frame, IDC_FOLDER), expected);
}

std::wstring systemText(DWORD code) {
    wchar_t text[512] = {};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         0, text, 512, nullptr);
    std::wstring result(text, length);
    return result.substr(0, result.find_last_not_of(L"\r\n") + 1);
}

TEST(Browse, FolderPageKeepsTheProductFolderAtTheEnd) {
    std::filesystem::create_directories(L"C:\\Apps\\kelvane 3");
    settleFolderTimes(L"C:\\Apps\\kelvane 3");
    settleFolderTimes(L"C:\\Program Files");
    Installer installer;
    HWND frame = advancedTo(installer, FolderPage);
    ASSERT_NE(frame, nullptr);

    // The default folder, whose last two folders do not exist yet, is shown
    // as it is while the tree opens on C:\Program Files.
    HWND picker = openPicker(installer, frame);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(::GetWindow(picker, GW_OWNER), frame);
    EXPECT_TRUE(showsText(picker, L"Select 'Kelvane' Installation Folder."));
    EXPECT_EQ(pickerText(picker), L"C:\\Program Files\\Tarnwick\\Kelvane 3");
    screenshot(picker, L"picker");
    selectFolder(picker, L"C:\\Apps");
    EXPECT_EQ(pickerText(picker), L"C:\\Apps\\Kelvane 3");
    closePicker(frame, picker, IDCANCEL);
    expectPageFolder(frame, L"C:\\Program Files\\Tarnwick\\Kelvane 3");

    // A typed folder is taken over first; a bare drive stands for its root.
    setText(control(frame, IDC_FOLDER), L"C:");
    picker = openPicker(installer, frame);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(pickerText(picker), L"C:\\Kelvane 3");
    closePicker(frame, picker, IDCANCEL);
    expectPageFolder(frame, L"C:");

    // A folder that already ends with the product folder, in any letter case.
    picker = openPicker(installer, frame);
    ASSERT_NE(picker, nullptr);
    selectFolder(picker, L"C:\\Apps\\kelvane 3");
    EXPECT_EQ(pickerText(picker), L"C:\\Apps\\kelvane 3");
    closePicker(frame, picker, IDOK);
    expectPageFolder(frame, L"C:\\Apps\\kelvane 3");

    // A folder without it gets it, although that folder does not exist yet.
    picker = openPicker(installer, frame);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(pickerText(picker), L"C:\\Apps\\kelvane 3");
    selectFolder(picker, L"C:\\Apps");
    EXPECT_EQ(pickerText(picker), L"C:\\Apps\\Kelvane 3");
    closePicker(frame, picker, IDOK);
    if (!runningUnderWine()) {
        // Under Wine the picker hands back the tree's selection, C:\Apps.
        expectPageFolder(frame, L"C:\\Apps\\Kelvane 3");
    }
    exitConfirmed(installer, frame);
}

TEST(Browse, ShortcutPageStaysInTheStartMenu) {
    const std::wstring programs = testing_support::directShellFolder(CSIDL_COMMON_PROGRAMS);
    ASSERT_FALSE(programs.empty());
    std::filesystem::create_directories(programs + L"\\Games\\Kelvane 3");
    settleFolderTimes(programs + L"\\Games\\Kelvane 3");
    Installer installer;
    HWND frame = advancedTo(installer, ShortcutPage);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(controlText(frame, IDC_FOLDER), L"Programs\\Tarnwick\\Kelvane 3");

    HWND picker = openPicker(installer, frame);
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(showsText(picker, L"Create a Shortcut in the following Menu:"));
    EXPECT_EQ(pickerText(picker), L"Programs\\Tarnwick\\Kelvane 3");
    selectFolder(picker, programs + L"\\Games");
    EXPECT_EQ(pickerText(picker), L"Programs\\Games\\Kelvane 3");
    if (!runningUnderWine()) {
        // The programs folder itself: its name, then the product folder.
        // Wine's tree, asked for its root, selects the root's first child.
        selectFolder(picker, programs);
        EXPECT_EQ(pickerText(picker), L"Programs\\Kelvane 3");
    }
    screenshot(picker, L"picker");
    if (!runningUnderWine()) {
        // Under Wine OK would close the picker without checking the text.
        setText(folderDialogEditBox(picker), L"C:\\Elsewhere\\Kelvane 3");
        click(picker, IDOK);
        const ShownMessage refused = waitForMessageBox(installer.id(), {frame, picker});
        EXPECT_EQ(refused.text, systemText(ERROR_BAD_PATHNAME));
        answer(refused, IDOK);
        EXPECT_TRUE(waitUntil([&] { return topLevelWindows(installer.id()).size() == 2; }));
        EXPECT_TRUE(::IsWindowVisible(picker)) << "the picker was closed";
    }
    closePicker(frame, picker, IDCANCEL);
    expectPageFolder(frame, L"Programs\\Tarnwick\\Kelvane 3");

    picker = openPicker(installer, frame);
    ASSERT_NE(picker, nullptr);
    selectFolder(picker, programs + L"\\Games\\Kelvane 3");
    EXPECT_EQ(pickerText(picker), L"Programs\\Games\\Kelvane 3");
    closePicker(frame, picker, IDOK);
    expectPageFolder(frame, L"Programs\\Games\\Kelvane 3");

    // The installation takes the chosen folder.
    click(frame, IDOK);
    expectPage(frame, ProgressPage);
    const std::wstring chosen = programs + L"\\Games\\Kelvane 3";
    const std::vector<std::wstring> lines = logLines(frame);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::wstring& line) {
        return line.find(chosen) != std::wstring::npos;
    })) << testing::PrintToString(lines);
    exitConfirmed(installer, frame);
}

} // namespace
