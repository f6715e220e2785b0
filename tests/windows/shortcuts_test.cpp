#include "install/shortcuts.h"

#include "install/uninstall_log.h"
#include "support/language_state.h"
#include "support/unique_resource.h"
#include "file_contents.h"
#include "test_support.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <functional>
#include <optional>
#include <thread>

namespace {

using testing_support::loadShortcut;
using testing_support::ScratchFolder;
using testing_support::ShellLink;
using testing_support::writeFile;

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The name of the one file in a folder, as the file system spells it.
std::wstring onlyFileIn(const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring name = found.cFileName;
    if (::FindNextFileW(search, &found)) {
        name += L" and more";
    }
    ::FindClose(search);
    return name;
}

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW(programFolder.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(menuFolder.c_str(), nullptr));
        writeFile(program, "program");
    }

    ScratchFolder scratch{L"shortcuts"};
    const std::wstring programFolder = scratch / L"Program Files";
    const std::wstring program = programFolder + L"\\Kelvane.exe";
    const std::wstring menuFolder = scratch / L"Start Menu";
};

TEST_F(Shortcuts, LinkLoadsBackWithTargetAndWorkingFolderOnly) {
    std::wstring created;
    ASSERT_TRUE(CreateShortcut(program, menuFolder, L"Kelvane 3.00g", &created));
    EXPECT_EQ(created, menuFolder + L"\\Kelvane 3.00g.lnk");
    ASSERT_TRUE(exists(created));

    const std::optional<ShellLink> link = loadShortcut(created);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, program);
    EXPECT_EQ(link->workingFolder, programFolder);
    EXPECT_EQ(link->arguments, L"");
    EXPECT_EQ(link->description, L"");
    EXPECT_EQ(link->hotKey, 0);
}

TEST_F(Shortcuts, EmptyNameIsTheTargetsNameWithoutExtension) {
    std::wstring created;
    ASSERT_TRUE(CreateShortcut(program, menuFolder, L"", &created));
    EXPECT_EQ(created, menuFolder + L"\\Kelvane.lnk");
    EXPECT_TRUE(exists(created));
}

TEST_F(Shortcuts, FrenchUninstallerNameKeepsItsAccent) {
    std::wstring created;
    ASSERT_TRUE(CreateShortcut(program, menuFolder, L"D\u00e9sinstaller Kelvane", &created));
    EXPECT_EQ(onlyFileIn(menuFolder), L"D\u00e9sinstaller Kelvane.lnk");
    EXPECT_EQ(created, menuFolder + L"\\D\u00e9sinstaller Kelvane.lnk");
}

TEST_F(Shortcuts, ExistingFileOfTheSameNameIsReplaced) {
    const std::wstring path = menuFolder + L"\\Kelvane 3.00g.lnk";
    writeFile(path, "not a link");
    ASSERT_TRUE(CreateShortcut(program, menuFolder, L"Kelvane 3.00g"));
    EXPECT_EQ(loadShortcut(path).value_or(ShellLink{}).target, program);
}

TEST_F(Shortcuts, UnusableInputGivesFalseAndNoPath) {
    struct Case {
        const wchar_t* label;
        std::wstring target;
        std::wstring folder;
    };
    const Case cases[] = {
        {L"target that is a root", L"C:\\", menuFolder},
        {L"empty target", L"", menuFolder},
        {L"empty folder", program, L""},
        {L"missing folder", program, scratch / L"missing\\deeper"},
        {L"target of 260 characters", programFolder + L"\\" + std::wstring(260, L'x'), menuFolder},
        {L"folder of 260 characters", program, menuFolder + L"\\" + std::wstring(260, L'x')},
    };
    for (const Case& c : cases) {
        std::wstring created = L"unchanged";
        EXPECT_FALSE(CreateShortcut(c.target, c.folder, L"Kelvane 3.00g", &created)) << c.label;
        EXPECT_EQ(created, L"unchanged") << c.label;
    }
    EXPECT_EQ(onlyFileIn(menuFolder), L"");
}

// A folder whose link path "folder\Kelvane 3.00g.lnk" has exactly `length`
// characters; made on disk when it is short enough to be made.
std::wstring folderForLinkLength(const std::wstring& base, std::size_t length) {
    const std::size_t tail = std::wstring(L"\\Kelvane 3.00g.lnk").size();
    const std::size_t padding = length - tail - base.size() - 1;
    std::wstring folder = base + L"\\" + std::wstring(padding, L'p');
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

TEST_F(Shortcuts, LinkPathMustStayBelow260Characters) {
    const std::wstring fits = folderForLinkLength(scratch.path(), MAX_PATH - 1);
    ASSERT_TRUE(exists(fits)) << "a folder of " << fits.size() << " characters can be made";
    std::wstring created;
    EXPECT_TRUE(CreateShortcut(program, fits, L"Kelvane 3.00g", &created));
    EXPECT_EQ(created.size(), static_cast<std::size_t>(MAX_PATH - 1));

    const std::wstring tooLong = folderForLinkLength(scratch.path(), MAX_PATH);
    created = L"unchanged";
    EXPECT_FALSE(CreateShortcut(program, tooLong, L"Kelvane 3.00g", &created));
    EXPECT_EQ(created, L"unchanged");
}

// The thread's COM state, as seen from the thread itself.
HRESULT apartment(APTTYPE& type) {
    APTTYPEQUALIFIER qualifier{};
    return ::CoGetApartmentType(&type, &qualifier);
}

// Runs body on a fresh thread, which starts outside any apartment.
void onThread(std::function<void()> body) {
    std::thread(std::move(body)).join();
}

TEST_F(Shortcuts, UninitialisedThreadIsLeftUninitialised) {
    onThread([&] {
        ASSERT_TRUE(CreateShortcut(program, menuFolder, L"a"));
        APTTYPE type{};
        EXPECT_EQ(apartment(type), CO_E_NOTINITIALIZED);
    });
}

TEST_F(Shortcuts, SingleThreadedApartmentIsLeftWithItsCount) {
    onThread([&] {
        ASSERT_EQ(::CoInitialize(nullptr), S_OK);
        EXPECT_TRUE(CreateShortcut(program, menuFolder, L"b"));
        APTTYPE type{};
        EXPECT_EQ(apartment(type), S_OK);
        EXPECT_TRUE(type == APTTYPE_STA || type == APTTYPE_MAINSTA) << type;
        ::CoUninitialize();
        EXPECT_EQ(apartment(type), CO_E_NOTINITIALIZED) << "one initialisation was open";
    });
}

TEST_F(Shortcuts, MultiThreadedApartmentRefusesAndIsLeftAlone) {
    onThread([&] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        std::wstring created = L"unchanged";
        EXPECT_FALSE(CreateShortcut(program, menuFolder, L"c", &created));
        EXPECT_EQ(created, L"unchanged");
        APTTYPE type{};
        EXPECT_EQ(apartment(type), S_OK);
        EXPECT_EQ(type, APTTYPE_MTA);
        ::CoUninitialize();
        EXPECT_EQ(apartment(type), CO_E_NOTINITIALIZED);
    });
}

class ShortcutPlan : public ::testing::Test {
protected:
    void SetUp() override { tw::SetLanguage(1); }
    void TearDown() override { tw::SetLanguage(1); }

    static ShortcutChoices choices(bool menu, bool desktop) {
        ShortcutChoices result;
        result.menuShortcut = menu;
        result.desktopShortcut = desktop;
        result.shortcutFolder = L"C:\\Menu\\Tarnwick\\Kelvane 3";
        result.desktopFolder = L"C:\\users\\Public\\Desktop";
        result.mainProgramPath = L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe";
        result.uninstallerPath = L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Uninstall.exe";
        result.productLabel = L"Kelvane 3.00g";
        result.productName = L"Kelvane";
        return result;
    }
};

TEST_F(ShortcutPlan, BothFlagsGiveThreeShortcutsInOrder) {
    const ShortcutChoices c = choices(true, true);
    const std::vector<PlannedShortcut> plan = planShortcuts(c);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[0].which, ShortcutWhich::ProgramInMenu);
    EXPECT_EQ(plan[0].folder, c.shortcutFolder);
    EXPECT_EQ(plan[0].target, c.mainProgramPath);
    EXPECT_EQ(plan[0].name, L"Kelvane 3.00g");
    EXPECT_EQ(plan[1].which, ShortcutWhich::UninstallerInMenu);
    EXPECT_EQ(plan[1].folder, c.shortcutFolder);
    EXPECT_EQ(plan[1].target, c.uninstallerPath);
    EXPECT_EQ(plan[1].name, L"Uninstall Kelvane");
    EXPECT_EQ(plan[2].which, ShortcutWhich::ProgramOnDesktop);
    EXPECT_EQ(plan[2].folder, c.desktopFolder);
    EXPECT_EQ(plan[2].target, c.mainProgramPath);
    EXPECT_EQ(plan[2].name, L"Kelvane 3.00g");
}

TEST_F(ShortcutPlan, EachFlagAlone) {
    const std::vector<PlannedShortcut> menu = planShortcuts(choices(true, false));
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[1].which, ShortcutWhich::UninstallerInMenu);
    const std::vector<PlannedShortcut> desktop = planShortcuts(choices(false, true));
    ASSERT_EQ(desktop.size(), 1u);
    EXPECT_EQ(desktop[0].which, ShortcutWhich::ProgramOnDesktop);
    EXPECT_TRUE(planShortcuts(choices(false, false)).empty());
}

TEST_F(ShortcutPlan, UninstallerNameFollowsTheLanguage) {
    EXPECT_EQ(uninstallShortcutName(L"Kelvane"), L"Uninstall Kelvane");
    tw::SetLanguage(0);
    EXPECT_EQ(uninstallShortcutName(L"Kelvane"), L"D\u00e9sinstaller Kelvane");
    tw::SetLanguage(2);
    EXPECT_EQ(uninstallShortcutName(L"Kelvane"), L"Deinstallieren Kelvane");
}

// The shortcut step: the plan made with the journal, on scratch folders.
class ShortcutStep : public Shortcuts {
protected:
    void TearDown() override { tw::SetLanguage(1); }

    ShortcutChoices choices(bool menu, bool desktop) const {
        ShortcutChoices result;
        result.menuShortcut = menu;
        result.desktopShortcut = desktop;
        result.shortcutFolder = menuFolder + L"\\Tarnwick\\Kelvane 3";
        result.desktopFolder = scratch / L"Desktop";
        result.mainProgramPath = program;
        result.uninstallerPath = program;
        result.productLabel = L"Kelvane 3.00g";
        result.productName = L"Kelvane";
        return result;
    }

    // The journal's shortcut entries, in order.
    std::vector<LogEntry> shortcutEntries() const {
        std::vector<LogEntry> entries;
        for (const LogEntry& entry : journal.newEntries) {
            if (isShortcutKind(entry.kind)) {
                entries.push_back(entry);
            }
        }
        return entries;
    }

    UninstallLog journal;
};

TEST_F(ShortcutStep, EveryShortcutIsJournalledWithItsFileAndFolders) {
    tw::SetLanguage(1);
    ASSERT_TRUE(::CreateDirectoryW((scratch / L"Desktop").c_str(), nullptr));
    const ShortcutChoices c = choices(true, true);
    ASSERT_TRUE(createPlannedShortcuts(planShortcuts(c), journal));

    const std::vector<LogEntry> entries = shortcutEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, LogKind::ProgramShortcut);
    EXPECT_EQ(entries[0].path, c.shortcutFolder + L"\\Kelvane 3.00g.lnk");
    EXPECT_EQ(entries[1].kind, LogKind::UninstallShortcut);
    EXPECT_EQ(entries[1].path, c.shortcutFolder + L"\\Uninstall Kelvane.lnk");
    EXPECT_EQ(entries[2].kind, LogKind::DesktopShortcut);
    EXPECT_EQ(entries[2].path, c.desktopFolder + L"\\Kelvane 3.00g.lnk");
    for (const LogEntry& entry : entries) {
        EXPECT_TRUE(entry.done);
        EXPECT_TRUE(exists(entry.path)) << entry.path;
    }
    // The start-menu folders were made by the journal and recorded first.
    ASSERT_EQ(journal.newEntries.front().kind, LogKind::Folder);
    EXPECT_EQ(journal.newEntries.front().path, menuFolder + L"\\Tarnwick");
    EXPECT_FALSE(journal.pending);

    journal.Rollback();
    for (const LogEntry& entry : entries) {
        EXPECT_FALSE(exists(entry.path)) << entry.path;
    }
    EXPECT_FALSE(exists(menuFolder + L"\\Tarnwick"));
}

TEST_F(ShortcutStep, FrenchInstallationNamesTheUninstallerShortcutInFrench) {
    tw::SetLanguage(0);
    ASSERT_TRUE(createPlannedShortcuts(planShortcuts(choices(true, false)), journal));
    const std::vector<LogEntry> entries = shortcutEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].path,
              choices(true, false).shortcutFolder + L"\\D\u00e9sinstaller Kelvane.lnk");
    EXPECT_TRUE(exists(entries[1].path));
}

TEST_F(ShortcutStep, AFailedShortcutIsJournalledNotDoneAndTheOthersAreStillMade) {
    tw::SetLanguage(1);
    ShortcutChoices c = choices(true, true);
    c.desktopFolder = scratch / std::wstring(250, L'd');
    EXPECT_FALSE(createPlannedShortcuts(planShortcuts(c), journal));
    const std::vector<LogEntry> entries = shortcutEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(entries[0].done);
    EXPECT_TRUE(entries[1].done);
    EXPECT_FALSE(entries[2].done);
    EXPECT_EQ(entries[2].path, L"");
    EXPECT_FALSE(journal.pending);
}

TEST(desktopFolder, IsTheAllUsersDesktop) {
    wchar_t common[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, common, CSIDL_COMMON_DESKTOPDIRECTORY, FALSE));
    EXPECT_EQ(desktopFolder(nullptr), common);
}

} // namespace
