#include "support/folder_picker.h"

#include "support/folder_picker_rules.h"
#include "support/library_init.h"
#include "support/messages.h"
#include "support/path_text.h"
#include "test_support.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

using testing_support::DialogWatcher;
using testing_support::isMessageBox;
using testing_support::pressButton;
using testing_support::ScratchFolder;
using testing_support::windowText;

std::wstring currentDirectory() {
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

bool isBrowseDialog(HWND window) {
    return ::FindWindowExW(window, nullptr, L"SysTreeView32", nullptr) != nullptr;
}

// Answers the message box of the thread under test with OK and keeps its text.
class RefusalWatcher : public DialogWatcher {
public:
    RefusalWatcher()
        : DialogWatcher(isMessageBox, [this](HWND box) {
            text = windowText(::GetDlgItem(box, 0xFFFF));
            pressButton(box, IDOK);
        }) {}

    std::wstring text;
};

class FolderPickerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { tw::details::initialize_mfc_lib(); }
};

TEST_F(FolderPickerTest, PlainCharactersAreThoseTheShellAcceptsInAFolderName) {
    int differences = 0;
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        const UINT type = ::PathGetCharTypeW(static_cast<WCHAR>(c));
        const bool shellPlain = type != GCT_INVALID && (type & GCT_WILD) == 0;
        if (tw::isPlainPathChar(static_cast<wchar_t>(c)) != shellPlain && ++differences <= 5) {
            ADD_FAILURE() << "character " << std::hex << c << " has the shell type " << type;
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST_F(FolderPickerTest, RelativeFolderFollowsTheShell) {
    EXPECT_EQ(tw::relativeFolder(L"C:\\Menu", L"C:\\Menu\\Programs\\Tarnwick"),
              L"Programs\\Tarnwick");
    EXPECT_EQ(tw::relativeFolder(L"C:\\Menu", L"c:\\menu\\Programs"), L"Programs");
    EXPECT_EQ(tw::relativeFolder(L"C:\\Menu", L"C:\\Menu"), L"");
    EXPECT_EQ(tw::relativeFolder(L"C:\\Menu", L"D:\\Other"), L"D:\\Other");
}

// The checks of a typed folder run in the dialog's callback, which Wine's
// browsing dialog never calls with BFFM_VALIDATEFAILEDW: the tests call it as
// the shell does, with a window of their own as the dialog.
class TypedFolderTest : public FolderPickerTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(menu.path() + L"\\Programs");
        root.reset(::ILCreateFromPathW((menu.path() + L"\\Programs").c_str()));
        ASSERT_TRUE(root);
        dialog = ::CreateWindowExW(0, L"STATIC", L"dialog", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override { ::DestroyWindow(dialog); }

    int typed(tw::details::FolderPicker& picker, const std::wstring& text) {
        return picker.onNotify(dialog, BFFM_VALIDATEFAILEDW,
                               reinterpret_cast<LPARAM>(text.c_str()));
    }

    ScratchFolder menu{L"picker-menu"};
    tw::unique_pidl root;
    HWND dialog = nullptr;
};

TEST_F(TypedFolderTest, ARelativeNameIsTakenInTheRootParent) {
    tw::details::FolderPicker picker(L"", L"Kelvane 3", L"title", std::move(root));
    const std::wstring before = currentDirectory();
    EXPECT_EQ(typed(picker, L" Programs\\New Folder\\ "), 0) << "the dialog closes";
    EXPECT_EQ(picker.path(), menu.path() + L"\\Programs\\New Folder");
    EXPECT_EQ(currentDirectory(), before);
}

TEST_F(TypedFolderTest, RefusalsShowTheSystemTextAndKeepTheDialogOpen) {
    tw::details::FolderPicker picker(L"", L"Kelvane 3", L"title", std::move(root));
    const std::wstring before = currentDirectory();
    const std::wstring tooLong = L"Programs\\" + std::wstring(251, L'x');
    ASSERT_EQ(tooLong.size(), 260u);
    for (const auto& [text, code] :
         {std::pair{std::wstring(L"C:\\windows"), tw::picker_error::badPath},
          std::pair{menu.path() + L"x\\Programs", tw::picker_error::badPath},
          std::pair{std::wstring(L"Programs\\Kel*"), tw::picker_error::badPath},
          std::pair{tooLong, tw::picker_error::tooLong}}) {
        RefusalWatcher watcher;
        EXPECT_EQ(typed(picker, text), 1) << testing::PrintToString(text);
        ASSERT_TRUE(watcher.seen()) << "no message for " << testing::PrintToString(text);
        EXPECT_EQ(watcher.text, tw::errorText(code));
        EXPECT_EQ(picker.path(), L"Programs\\Kelvane 3");
    }
    EXPECT_EQ(currentDirectory(), before);
    EXPECT_NE(tw::errorText(tw::picker_error::badPath), tw::errorText(E_FAIL));
    EXPECT_NE(tw::errorText(tw::picker_error::tooLong), tw::errorText(E_FAIL));
}

TEST_F(TypedFolderTest, ARootParentThatCannotBeEnteredRefusesWithItsError) {
    tw::details::FolderPicker picker(L"", L"Kelvane 3", L"title", std::move(root));
    const std::wstring parent = picker.rootParent(); // computed before it goes away
    std::filesystem::remove_all(parent);
    RefusalWatcher watcher;
    EXPECT_EQ(typed(picker, L"Programs"), 1);
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(watcher.text, tw::errorText(ERROR_FILE_NOT_FOUND));
}

// The dialog itself, as Wine shows it, and what the picker gives back. (The
// end-to-end scenarios of the Browse buttons cover where it opens and how
// the sub-folder follows the selection.)
class BrowseDialogTest : public FolderPickerTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(scratch / L"Apps\\kelvane 3");
        testing_support::settleFolderTimes(scratch / L"Apps\\kelvane 3");
    }

    static std::wstring editText(HWND dialog) {
        return windowText(::FindWindowExW(dialog, nullptr, L"Edit", nullptr));
    }
    static void select(HWND dialog, const std::wstring& folder) {
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    }

    ScratchFolder scratch{L"picker-browse"};
};

TEST_F(BrowseDialogTest, AFolderEndingWithTheSubFolderIsTakenAsItIs) {
    std::wstring shown;
    DialogWatcher watcher(isBrowseDialog, [&](HWND dialog) {
        select(dialog, scratch / L"Apps\\kelvane 3");
        shown = editText(dialog);
        pressButton(dialog, IDOK);
    });
    std::wstring folder = L"relative\\is\\ignored";
    const std::wstring chosen = tw::BrowseForFolder(folder, L"Kelvane 3..", L"Pick");
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(shown, scratch / L"Apps\\kelvane 3");
    EXPECT_TRUE(tw::equalIgnoringCase(chosen, scratch / L"Apps\\kelvane 3"))
        << testing::PrintToString(chosen);
    EXPECT_TRUE(tw::equalIgnoringCase(folder, scratch / L"Apps")) << testing::PrintToString(folder);
}

TEST_F(BrowseDialogTest, WithoutASubFolderThereIsNoEditBox) {
    std::wstring opened = L"unseen";
    DialogWatcher watcher(isBrowseDialog, [&](HWND dialog) {
        HWND edit = ::FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        opened = edit != nullptr && ::IsWindowVisible(edit) ? windowText(edit) : L"";
        pressButton(dialog, IDOK);
    });
    std::wstring folder = scratch / L"Apps";
    EXPECT_TRUE(
        tw::equalIgnoringCase(tw::BrowseForFolder(folder, L"Kel|vane", L""), scratch / L"Apps"));
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(opened, L"");
}

TEST_F(FolderPickerTest, AThreadWithoutTheApartmentModelIsToldAndGetsNoChoice) {
    std::wstring folder = L"C:\\Apps";
    std::wstring chosen = L"unset";
    RefusalWatcher watcher;
    std::thread([&] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        chosen = tw::BrowseForFolder(folder, L"Kelvane 3", L"Pick");
        ::CoUninitialize();
    }).join();
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(watcher.text, tw::errorText(RPC_E_CHANGED_MODE));
    EXPECT_EQ(chosen, L"");
    EXPECT_EQ(folder, L"C:\\Apps");
}

} // namespace
