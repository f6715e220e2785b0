#pragma once
// The machine as an installation leaves it, read from outside the installer:
// a snapshot of everything an installation of the product may touch, and
// plain reads of files, shortcuts, shell folders and registry values.

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

// The whole contents of a file; nothing when it cannot be read.
std::optional<std::string> fileContents(const std::wstring& path);

// A file's attributes; INVALID_FILE_ATTRIBUTES when it does not exist.
DWORD fileAttributes(const std::wstring& path);

// What a shell link points to, as stored in the link.
struct ShellLink {
    std::wstring target;
    std::wstring workingFolder;
};

// The shortcut file read through IShellLinkW; nothing when it cannot be loaded.
std::optional<ShellLink> readShortcut(const std::wstring& path);

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
