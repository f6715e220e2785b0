#pragma once
// Registry access of the maker's library and the installation: owning key
// holders, a safe string read, value writes, and the saving, restoring and
// deleting of a whole key.
//
// "Not there" (a missing key or value, a value of another type) is an empty or
// false result. Any other failure raises std::system_error carrying the Win32
// error code in the system category and no message of its own (error.h).
//
// No call passes a registry-view flag: the shipped program is 32-bit, so on
// 64-bit Windows its keys below HKEY_LOCAL_MACHINE\Software are those of the
// 32-bit view, where the installed application and the uninstaller look too.

#include "support/unique_resource.h"

#include <windows.h>
#include <cstddef>
#include <string>

namespace tw {

// Owns one open registry key, or none; closes it with RegCloseKey. The
// registry's name for the owning wrapper of unique_resource.h.
using RegistryKey = unique_hkey;

// Creates the subkey below parent, or opens it when it exists, with the given
// access (MAXIMUM_ALLOWED unless a caller needs a particular right). When
// existed is given, it tells whether the key was there already. Raises on any
// error.
RegistryKey CreateKey(HKEY parent, const std::wstring& subkey, REGSAM access = MAXIMUM_ALLOWED,
                      bool* existed = nullptr);
RegistryKey CreateKey(const RegistryKey& parent, const std::wstring& subkey,
                      REGSAM access = MAXIMUM_ALLOWED, bool* existed = nullptr);

// Opens the subkey below parent with the given access (MAXIMUM_ALLOWED unless
// a caller needs a particular right); an empty holder when the key does not
// exist. Raises on any other error.
RegistryKey OpenKey(HKEY parent, const std::wstring& subkey, REGSAM access = MAXIMUM_ALLOWED);
RegistryKey OpenKey(const RegistryKey& parent, const std::wstring& subkey,
                    REGSAM access = MAXIMUM_ALLOWED);

// Reads a REG_SZ or REG_EXPAND_SZ value (the latter unexpanded) into output.
// False, with output unchanged, when the value is missing, of another type,
// of an odd size or not terminated by NUL; an empty value (0 bytes or just the
// NUL) reads as the empty string. Raises on any other error.
bool ReadString(HKEY key, const std::wstring& valueName, std::wstring& output);
bool ReadString(const RegistryKey& key, const std::wstring& valueName, std::wstring& output);

// Writes a value of the given type and bytes. Raises on any error.
void writeValue(const RegistryKey& key, const std::wstring& valueName, DWORD type, const void* data,
                std::size_t size);

// Writes a REG_SZ value: the characters and the terminating NUL. Raises on any
// error.
void writeString(const RegistryKey& key, const std::wstring& valueName, const std::wstring& value);

// Saves the key and its subkeys to a new file (RegSaveKeyW, which needs the
// backup privilege). Raises on any error.
void saveKey(HKEY key, const std::wstring& file);

// Replaces the key's content with that of a file of saveKey (RegRestoreKeyW,
// which needs the restore privilege). Raises on any error.
void restoreKey(HKEY key, const std::wstring& file);

// Deletes the subkey below parent with everything below it (SHDeleteKeyW);
// nothing when it does not exist. Raises on any other error.
void deleteKeyTree(HKEY parent, const std::wstring& subkey);

} // namespace tw
