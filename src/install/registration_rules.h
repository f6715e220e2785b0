#pragma once
// Rules of the installation that need no Windows call: what the installed main
// program is told when it registers the product, and the registry values it
// sets.

#include <cstdint>
#include <string>
#include <vector>

// The arguments after the main program's path: " /Register /Background", and
// when an earlier version is updated, " /update=" and that version as 16
// lower-case hexadecimal digits.
std::wstring registrationArguments(std::uint64_t existingVersion);

// A registry value that an installation sets besides the uninstall key: its
// key, named with its root ("HKEY_CLASSES_ROOT\\.kvd"), and its name (empty for
// the key's default value).
struct RegistryValueName {
    std::wstring key;
    std::wstring name;

    bool operator==(const RegistryValueName&) const = default;
};

// The values the installed main program sets when it registers: the document
// type below HKEY_CLASSES_ROOT, and the version an update replaced in the
// settings of the user whose SID (as text) is given, below HKEY_USERS.
std::vector<RegistryValueName> registeredValues(const std::wstring& userSid);

// The product path value: makerKey below HKEY_LOCAL_MACHINE, valueName.
RegistryValueName productPathValue(const std::wstring& makerKey, const std::wstring& valueName);

// Whether a journal may name the value: the product path value, or one of the
// registered values of some user.
bool isInstallationValue(const RegistryValueName& value, const RegistryValueName& productPath);
