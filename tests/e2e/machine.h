#pragma once
// The machine as an installation leaves it, read from outside the installer:
// a snapshot of everything an installation of the product may touch, and
// plain reads of files, shortcuts, shell folders and registry values.

#include "file_contents.h"
#include "test_support.h"

#include <windows.h>

#include <map>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Item → description. Items are the files and folders below C:\ outside
// C:\windows (a file by its size, the CRC-32 of its contents, its attributes
// and time of last write; a link
// to elsewhere, such as a user folder that Wine maps to the Unix home, as a
// link, not followed) and the keys and values below the registry keys an
// installation of the product writes: the uninstall list, the maker's keys,
// the document extension and its ProgID.
using MachineState = std::map<std::wstring, std::wstring>;

MachineState snapshotMachine();

// The product's uninstall key below HKEY_LOCAL_MACHINE.
const std::wstring productUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvane 3";

// The installer's journal folder, "Kelvane 3 Setup" in the Windows folder,
// where a run keeps its journal file and backups until it ends.
std::wstring journalFolder();

// What changed, one line per item: "+ item: now", "- item: before" or
// "~ item: before -> now". Empty when nothing did.
std::vector<std::wstring> differences(const MachineState& before, const MachineState& after);

// The path of a shell folder by CSIDL; empty when the system names none.
std::wstring shellFolder(int csidl);

// The user's temporary folder, without its trailing backslash.
std::wstring temporaryFolder();

// The names in a folder, sorted; empty when it does not exist.
std::vector<std::wstring> folderListing(const std::wstring& folder);

// The whole contents of a file, and writing one (tests/common).
using testing_support::fileContents;
using testing_support::writeFile;

// A file's attributes; INVALID_FILE_ATTRIBUTES when it does not exist.
DWORD fileAttributes(const std::wstring& path);

// A shortcut file read through IShellLinkW (the Windows test support).
using testing_support::loadShortcut;
using testing_support::ShellLink;

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const RegistryValue&) const = default;
};

// "REG_SZ \"text\"" (noting a missing terminating NUL), "REG_DWORD
// 0x00000001" or the type and the bytes in hexadecimal; also how test
// failures show a value.
std::wstring describe(const RegistryValue& value);
void PrintTo(const RegistryValue& value, std::ostream* out);

// A value of a key; nothing when the key or the value is missing.
std::optional<RegistryValue> registryValue(HKEY root, const std::wstring& key,
                                           const std::wstring& name);

// The names of a key's values, in the order the registry lists them.
std::vector<std::wstring> registryValueNames(HKEY root, const std::wstring& key);

bool registryKeyExists(HKEY root, const std::wstring& key);

// Stores the installer's language preference (TwLanguage) as an earlier
// installation leaves it; fails the test when it cannot.
void storeLanguagePreference(DWORD language);

// REG_SZ data as written by the product: the text and its terminating NUL.
RegistryValue stringValue(const std::wstring& text);
RegistryValue dwordValue(DWORD value);

} // namespace e2e
