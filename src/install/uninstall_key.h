#pragma once
// The names in the product's entry of the system's list of installed programs:
// the list's key below HKEY_LOCAL_MACHINE and the values of the product's key
// in it. The installation writes them (uninstall_registration.cpp); the
// installer and the uninstaller read them back by these names.

namespace uninstall_key {

// The system's list of installed programs below HKEY_LOCAL_MACHINE.
constexpr wchar_t listPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

constexpr wchar_t displayName[] = L"DisplayName";
constexpr wchar_t uninstallString[] = L"UninstallString";
constexpr wchar_t displayIcon[] = L"DisplayIcon";
constexpr wchar_t displayVersion[] = L"DisplayVersion";
constexpr wchar_t publisher[] = L"Publisher";
constexpr wchar_t urlInfoAbout[] = L"URLInfoAbout";
constexpr wchar_t helpLink[] = L"HelpLink";
constexpr wchar_t urlUpdateInfo[] = L"URLUpdateInfo";
constexpr wchar_t helpTelephone[] = L"HelpTelephone";
constexpr wchar_t noModify[] = L"NoModify";
constexpr wchar_t noRepair[] = L"NoRepair";
// The maker's index of the interface language of the installation.
constexpr wchar_t language[] = L"TwLanguage";

} // namespace uninstall_key
