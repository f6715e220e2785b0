#include "uninstall/product_registry.h"

#include "common/document_type.h"

#include "install/same_path.h"
#include "install/uninstall_key.h"
#include "support/product_code.h"
#include "support/product_keys.h"
#include "support/registry.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <system_error>

namespace uninstall {

namespace {

// A string value, or empty when it cannot be read as one.
std::wstring stringValue(HKEY root, const wchar_t* key, const wchar_t* name) {
    std::wstring value;
    try {
        if (const tw::RegistryKey opened = tw::OpenKey(root, key, KEY_QUERY_VALUE)) {
            tw::ReadString(opened, name == nullptr ? L"" : name, value);
        }
    } catch (const std::system_error&) {
        value.clear();
    }
    return value;
}

// Deletes the key when it has neither subkeys nor values.
void removeWhenEmpty(HKEY root, const std::wstring& key) {
    DWORD subkeys = 0;
    DWORD values = 0;
    try {
        const tw::RegistryKey opened = tw::OpenKey(root, key, KEY_QUERY_VALUE);
        if (!opened ||
            ::RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subkeys != 0 || values != 0) {
            return;
        }
    } catch (const std::system_error&) {
        return;
    }
    ::RegDeleteKeyW(root, key.c_str());
}

} // namespace

std::wstring uninstallKeyPath() {
    return std::wstring(uninstall_key::listPath) + L"\\" + tw::productKeyName();
}

void removeUninstallKey() {
    ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, uninstallKeyPath().c_str());
}

void removeFileAssociations() {
    if (stringValue(HKEY_CLASSES_ROOT, kelvane::documentExtension, nullptr) ==
        kelvane::documentProgId) {
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, kelvane::documentExtension);
    }
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, kelvane::documentProgId);
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void removeProductValues(const std::wstring& mainProgram) {
    const std::wstring makerKey = tw::makerKeyPath();
    const std::wstring valueName = tw::productPathValueName();
    const std::wstring registered =
        stringValue(HKEY_LOCAL_MACHINE, makerKey.c_str(), valueName.c_str());
    if (!registered.empty() && SamePath(registered, mainProgram)) {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, makerKey.c_str(), valueName.c_str());
    }
    removeWhenEmpty(HKEY_LOCAL_MACHINE, makerKey);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kelvane::settingsKey, kelvane::updatedFromValue);
    removeWhenEmpty(HKEY_CURRENT_USER, kelvane::settingsKey);
    removeWhenEmpty(HKEY_CURRENT_USER, makerKey);
}

} // namespace uninstall
