#pragma once
// The product's entry in the system's list of installed programs: one key below
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall.

#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the entry shows and how the product is removed.
struct UninstallValues {
    std::wstring displayName;     // the product label, "Kelvane 3.00g"
    std::wstring uninstallerPath; // not quoted, no arguments
    std::wstring mainProgramPath; // the icon source, not quoted
    std::wstring displayVersion;  // "3.0.7.1"
    std::wstring publisher;
    std::wstring webAddress;
    std::wstring telephone;
    std::uint32_t language = 0; // the maker's language index, not a LANGID
};

// The values of this product: its label, the installed uninstaller and main
// program, the product's own version, maker and contact data, and the current
// interface language.
UninstallValues ProductUninstallValues(const std::wstring& productLabel,
                                       const std::wstring& uninstallerPath,
                                       const std::wstring& mainProgramPath);

// One value of the key as it is written: REG_SZ data with its terminating NUL
// ((characters + 1) × 2 bytes), REG_DWORD data of 4 bytes.
struct UninstallValue {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool required = false; // without it the entry is useless
};

// The twelve values in the order they are written: DisplayName and
// UninstallString (the two required ones), DisplayIcon (the main program path
// and ",0", unquoted), DisplayVersion, Publisher, URLInfoAbout, HelpLink and
// URLUpdateInfo (all three the web address), HelpTelephone, NoModify and
// NoRepair (both 1) and TwLanguage.
std::vector<UninstallValue> UninstallValueList(const UninstallValues& values);

// The journal's part in the registration. The installation passes its
// journal's AddUninstallKey as `added` (called once the key is open: with the
// key when it existed before, so that its content can be saved for a
// rollback, else with nullptr) and CompleteLast as `completed` (called with
// the registration's outcome once the key is closed).
struct UninstallKeyJournal {
    std::function<void(HKEY existingKey)> added;
    std::function<void(bool done)> completed;
};

// The key below the uninstall list that names the product ("Kelvane 3").
std::wstring UninstallKeyName();

// The uninstall list below HKEY_LOCAL_MACHINE.
inline constexpr wchar_t uninstallListPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Writes the product's uninstall key `keyName` below the uninstall list,
// reusing an existing key (its other values stay). True when DisplayName and
// UninstallString were both written; the other values are written as well as
// they can be. The journal is told nothing when the key cannot be opened or
// created.
bool WriteUninstallKey(const UninstallValues& values, const UninstallKeyJournal& journal,
                       const std::wstring& keyName = UninstallKeyName());
