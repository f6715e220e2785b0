#include "install/registration_rules.h"

#include "install/product.h"
#include "support/hex_digits.h"

#include <algorithm>

namespace {

constexpr wchar_t classesRoot[] = L"HKEY_CLASSES_ROOT\\";
constexpr wchar_t usersRoot[] = L"HKEY_USERS\\";

} // namespace

std::wstring registrationArguments(std::uint64_t existingVersion) {
    std::wstring arguments = L" /Register /Background";
    if (existingVersion != 0) {
        arguments += L" /update=" + tw::lowerHex(existingVersion, 16);
    }
    return arguments;
}

std::vector<RegistryValueName> registeredValues(const std::wstring& userSid) {
    const std::wstring classes = classesRoot;
    return {
        {classes + product::documentExtension, L""},
        {classes + product::documentProgId, L""},
        {classes + product::documentIconKey, L""},
        {classes + product::documentOpenKey, L""},
        {usersRoot + userSid + L"\\" + product::settingsKey, product::updatedFromValue},
    };
}

RegistryValueName productPathValue(const std::wstring& makerKey, const std::wstring& valueName) {
    return {L"HKEY_LOCAL_MACHINE\\" + makerKey, valueName};
}

bool isInstallationValue(const RegistryValueName& value, const RegistryValueName& productPath) {
    if (value == productPath) {
        return true;
    }
    // The user's SID is the second element of a key below HKEY_USERS.
    std::wstring sid;
    if (value.key.starts_with(usersRoot)) {
        const std::size_t start = std::wstring_view(usersRoot).size();
        const std::size_t end = value.key.find(L'\\', start);
        sid = value.key.substr(start, end == std::wstring::npos ? end : end - start);
    }
    const bool sidIsName = !sid.empty() && std::ranges::all_of(sid, [](wchar_t c) {
        return c == L'-' || (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z');
    });
    const std::vector<RegistryValueName> registered =
        registeredValues(sidIsName ? sid : L"S-1-0-0");
    return std::ranges::find(registered, value) != registered.end();
}
