#include "install/installation_places.h"

#include <gtest/gtest.h>

namespace {

const InstallationPlaces places{
    L"C:\\Program Files\\Tarnwick\\Kelvane 3",
    {L"C:\\ProgramData\\Tarnwick\\Kelvane", L"C:\\users\\Public\\Desktop",
     L"C:\\users\\bob\\AppData\\Roaming\\Tarnwick\\Kelvane", L"\\\\server\\share\\Kelvane",
     // Neither a relative folder nor a whole drive holds anything.
     L"Relative\\Data", L"D:\\"},
    {L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu", L"C:\\users\\Public\\Desktop"}};

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

INSTANTIATE_TEST_SUITE_P(
    Files, MayActOnTest,
    testing::Values(
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", true},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Lang\\Kelvane.fr.dll", true},
        Case{file, L"c:\\PROGRAM FILES\\tarnwick\\kelvane 3\\Kelvane.exe", true},
        Case{file, L"C:/Program Files/Tarnwick/Kelvane 3/Kelvane.exe", true},
        Case{file, L"C:\\ProgramData\\Tarnwick\\Kelvane\\Defaults.ini", true},
        Case{file, L"C:\\users\\Public\\Desktop\\Kelvane Examples\\Welcome.kvd", true},
        Case{file, L"\\\\server\\share\\Kelvane\\Templates.kvt", true},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3", false},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3x\\Kelvane.exe", false},
        Case{file, L"C:\\ProgramData\\Tarnwick\\Defaults.ini", false},
        Case{file, L"C:\\Windows\\System32\\kernel32.dll", false},
        Case{file, L"D:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", false},
        Case{file, L"D:\\Data.ini", false}, Case{file, L"Relative\\Data\\Data.ini", false},
        Case{file, L"Kelvane.exe", false},
        Case{file, L"Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", false},
        Case{file, L"\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", false},
        Case{file, L"C:Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", false},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\..\\..\\..\\Windows\\win.ini", false},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\.\\Kelvane.exe", false},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe:stream", false},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\NUL", false},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe.", false},
        Case{file, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\*", false},
        Case{file, L"\\\\attacker\\share\\Kelvane\\Templates.kvt", false},
        Case{file, L"\\\\?\\C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", false},
        Case{file, L"\\\\.\\C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe", false},
        Case{file, L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Kelvane.exe", false},
        Case{file, L"", false}));

INSTANTIATE_TEST_SUITE_P(
    Shortcuts, MayActOnTest,
    testing::Values(
        Case{LogKind::ProgramShortcut,
             L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnwick\\Kelvane "
             L"3\\Kelvane 3.00g.lnk",
             true},
        Case{LogKind::UninstallShortcut,
             L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Uninstall Kelvane.lnk", true},
        Case{LogKind::DesktopShortcut, L"C:\\users\\Public\\Desktop\\Kelvane 3.00g.LNK", true},
        Case{LogKind::ProgramShortcut,
             L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Kelvane.exe", false},
        Case{LogKind::DesktopShortcut, L"C:\\users\\Public\\Desktop\\.lnk", false},
        Case{LogKind::DesktopShortcut, L"C:\\Windows\\Kelvane 3.00g.lnk", false},
        Case{LogKind::ProgramShortcut, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.lnk",
             false},
        Case{LogKind::DesktopShortcut, L"C:\\users\\Public\\Desktop\\..\\x.lnk", false},
        Case{LogKind::DesktopShortcut, L"Kelvane 3.00g.lnk", false}));

INSTANTIATE_TEST_SUITE_P(
    Folders, MayActOnTest,
    testing::Values(
        Case{folder, L"C:\\Program Files\\Tarnwick\\Kelvane 3", true},
        Case{folder, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\", true},
        Case{folder, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Lang", true},
        Case{folder, L"C:\\Program Files\\Tarnwick", true},
        Case{folder, L"C:\\ProgramData\\Tarnwick", true},
        Case{folder, L"C:\\users\\bob\\AppData\\Roaming\\Tarnwick", true},
        Case{folder, L"C:\\users\\Public\\Desktop\\Kelvane Examples", true},
        Case{folder, L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnwick", true},
        Case{folder, L"\\\\server\\share\\Kelvane", true}, Case{folder, L"C:\\", false},
        Case{folder, L"\\\\server\\share", false}, Case{folder, L"\\\\server", false},
        Case{folder, L"C:\\ProgramData\\Microsoft\\Windows", false},
        Case{folder, L"C:\\Windows\\System32", false}, Case{folder, L"D:\\Tarnwick", false},
        Case{folder, L"C:\\Program Files\\Tarnwick\\Kelvane 3\\..\\..", false},
        Case{folder, L"Tarnwick", false}, Case{folder, L"", false}));

INSTANTIATE_TEST_SUITE_P(Keys, MayActOnTest,
                         testing::Values(Case{LogKind::UninstallKey, L"", true},
                                         Case{LogKind::FileAssociations, L"", true},
                                         Case{static_cast<LogKind>(7), L"C:\\Program Files",
                                              false}));

} // namespace
