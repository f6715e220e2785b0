#include "install/installation_places.h"

#include <gtest/gtest.h>

namespace {

// Neither a relative folder nor a whole drive holds anything.
const InstallationPlaces places{L"C:\\Apps\\Kelvane 3",
                                {L"C:\\Data\\Tarnwick\\Kelvane", L"C:\\Desktop",
                                 L"\\\\server\\share\\Kelvane", L"Relative\\Data", L"D:\\"},
                                {L"C:\\Users\\Start Menu", L"C:\\Desktop"}};

struct Case {
    LogKind kind;
    const wchar_t* path;
    bool allowed;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << static_cast<int>(c.kind) << " " << testing::PrintToString(std::wstring(c.path));
}

class MayActOnTest : public testing::TestWithParam<Case> {};

TEST_P(MayActOnTest, AllowsOnlyWhatLiesInThePlaces) {
    EXPECT_EQ(mayActOn(places, GetParam().kind, GetParam().path), GetParam().allowed);
}

constexpr LogKind file = LogKind::File;
constexpr LogKind folder = LogKind::Folder;
constexpr LogKind menu = LogKind::ProgramShortcut;
constexpr LogKind desktop = LogKind::DesktopShortcut;

INSTANTIATE_TEST_SUITE_P(
    Entries, MayActOnTest,
    testing::Values(
        // Files below the installation folder or a data folder, as text.
        Case{file, L"C:\\Apps\\Kelvane 3\\Lang\\Kelvane.fr.dll", true},
        Case{file, L"c:/APPS/kelvane 3/Kelvane.exe", true},
        Case{file, L"C:\\Data\\Tarnwick\\Kelvane\\Defaults.ini", true},
        Case{file, L"C:\\Desktop\\Kelvane Examples\\Welcome.kvd", true},
        Case{file, L"\\\\server\\share\\Kelvane\\Templates.kvt", true},
        Case{file, L"C:\\Apps\\Kelvane 3", false}, Case{file, L"C:\\Apps\\Kelvane 3x\\a", false},
        Case{file, L"C:\\Data\\Tarnwick\\Defaults.ini", false},
        Case{file, L"C:\\Windows\\win.ini", false}, Case{file, L"D:\\Apps\\Kelvane 3\\a", false},
        Case{file, L"D:\\Data.ini", false}, Case{file, L"Relative\\Data\\Data.ini", false},
        Case{file, L"Apps\\Kelvane 3\\a", false}, Case{file, L"\\Apps\\Kelvane 3\\a", false},
        Case{file, L"C:Apps\\Kelvane 3\\a", false}, Case{file, L"", false},
        // Elements Windows would read as another name, and other servers.
        Case{file, L"C:\\Apps\\Kelvane 3\\..\\..\\Windows\\win.ini", false},
        Case{file, L"C:\\Apps\\Kelvane 3\\.\\a", false},
        Case{file, L"C:\\Apps\\Kelvane 3\\a:stream", false},
        Case{file, L"C:\\Apps\\Kelvane 3\\NUL", false},
        Case{file, L"C:\\Apps\\Kelvane 3\\a.", false}, Case{file, L"C:\\Apps\\Kelvane 3\\*", false},
        Case{file, L"\\\\attacker\\share\\Kelvane\\a", false},
        Case{file, L"\\\\?\\C:\\Apps\\Kelvane 3\\a", false},
        Case{file, L"\\\\.\\C:\\Apps\\Kelvane 3\\a", false},
        Case{file, L"C:\\Users\\Start Menu\\Kelvane.exe", false},
        // Shortcut files below a start menu or a desktop.
        Case{menu, L"C:\\Users\\Start Menu\\Programs\\Tarnwick\\Kelvane 3.00g.lnk", true},
        Case{desktop, L"C:\\Desktop\\Kelvane 3.00g.LNK", true},
        Case{LogKind::UninstallShortcut, L"C:\\Users\\Start Menu\\Uninstall Kelvane.lnk", true},
        Case{menu, L"C:\\Users\\Start Menu\\Programs\\Kelvane.exe", false},
        Case{desktop, L"C:\\Desktop\\.lnk", false}, Case{desktop, L"C:\\Windows\\a.lnk", false},
        Case{menu, L"C:\\Apps\\Kelvane 3\\a.lnk", false},
        Case{desktop, L"C:\\Desktop\\..\\a.lnk", false}, Case{desktop, L"a.lnk", false},
        // Folders at, below or on the way to the places.
        Case{folder, L"C:\\Apps\\Kelvane 3\\", true}, Case{folder, L"C:\\Apps", true},
        Case{folder, L"C:\\Data\\Tarnwick", true},
        Case{folder, L"C:\\Desktop\\Kelvane Examples", true},
        Case{folder, L"C:\\Users\\Start Menu\\Programs\\Tarnwick", true},
        Case{folder, L"\\\\server\\share\\Kelvane", true}, Case{folder, L"C:\\", false},
        Case{folder, L"\\\\server\\share", false}, Case{folder, L"\\\\server", false},
        Case{folder, L"C:\\Windows", false}, Case{folder, L"C:\\Users", false},
        Case{folder, L"D:\\Tarnwick", false}, Case{folder, L"C:\\Apps\\Kelvane 3\\..\\..", false},
        Case{folder, L"Tarnwick", false},
        // The keys are named by fixed texts.
        Case{LogKind::UninstallKey, L"", true}, Case{LogKind::FileAssociations, L"", true},
        Case{static_cast<LogKind>(7), L"C:\\Apps", false}));

} // namespace
