#pragma once
// The product's entry in the system's list of installed programs: one key below
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall.

#include "install/uninstall_log.h"

#include <windows.h>
#include <cstdint>
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
UninstallValues productUninstallValues(const std::wstring& productLabel,
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
std::vector<UninstallValue> uninstallValueList(const UninstallValues& values);

// The key below the uninstall list that names the product ("Kelvane 3").
std::wstring uninstallKeyName();

// Writes the product's uninstall key below the journal's uninstall list
// (HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall
// for the installation), reusing an existing key (its other values stay). The
// key is recorded in the journal as soon as it is open (an existing key is
// handed over for its content to be saved) and completed with the outcome once
// it is closed. True when DisplayName and UninstallString were both written;
// the other values are written as well as they can be. The journal is told
// nothing when the key cannot be opened or created.
bool writeUninstallKey(const UninstallValues& values, UninstallLog& journal);
