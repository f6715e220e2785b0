#include "support/registry.h"

#include "support/error.h"

#include <shlwapi.h>

#include <vector>

namespace tw {

RegistryKey CreateKey(HKEY parent, const std::wstring& subkey, REGSAM access, bool* existed) {
    RegistryKey key;
    DWORD disposition = 0;
    throwIfWin32Failed(::RegCreateKeyExW(parent, subkey.c_str(), 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, access, nullptr, key.put(),
                                         existed != nullptr ? &disposition : nullptr));
    if (existed != nullptr) {
        *existed = disposition == REG_OPENED_EXISTING_KEY;
    }
    return key;
}

RegistryKey CreateKey(const RegistryKey& parent, const std::wstring& subkey, REGSAM access,
                      bool* existed) {
    return CreateKey(parent.get(), subkey, access, existed);
}

RegistryKey OpenKey(HKEY parent, const std::wstring& subkey, REGSAM access) {
    RegistryKey key;
    const LSTATUS status = ::RegOpenKeyExW(parent, subkey.c_str(), 0, access, key.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return RegistryKey{};
    }
    throwIfWin32Failed(status);
    return key;
}

RegistryKey OpenKey(const RegistryKey& parent, const std::wstring& subkey, REGSAM access) {
    return OpenKey(parent.get(), subkey, access);
}

void writeValue(const RegistryKey& key, const std::wstring& valueName, DWORD type, const void* data,
                std::size_t size) {
    throwIfWin32Failed(::RegSetValueExW(key.get(), valueName.c_str(), 0, type,
                                        static_cast<const BYTE*>(data), static_cast<DWORD>(size)));
}

void writeString(const RegistryKey& key, const std::wstring& valueName, const std::wstring& value) {
    writeValue(key, valueName, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

namespace {

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

} // namespace

bool ReadString(HKEY key, const std::wstring& valueName, std::wstring& output) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    throwIfWin32Failed(status);
    if (!isStringType(type) || size % 2 != 0) {
        return false;
    }
    if (size == 0) {
        output.clear();
        return true;
    }

    std::vector<wchar_t> buffer(size / 2, L'\0');
    status = ::RegQueryValueExW(key, valueName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &size);
    throwIfWin32Failed(status);
    // The value may have changed between the two queries: the second answer
    // is checked again before it is trusted.
    if (!isStringType(type) || size % 2 != 0) {
        return false;
    }
    if (size == 0) {
        output.clear();
        return true;
    }
    const std::size_t length = size / 2 - 1;
    if (buffer[length] != L'\0') {
        return false;
    }
    output.assign(buffer.data(), length);
    return true;
}

bool ReadString(const RegistryKey& key, const std::wstring& valueName, std::wstring& output) {
    return ReadString(key.get(), valueName, output);
}

void saveKey(HKEY key, const std::wstring& file) {
    throwIfWin32Failed(::RegSaveKeyW(key, file.c_str(), nullptr));
}

void restoreKey(HKEY key, const std::wstring& file) {
    throwIfWin32Failed(::RegRestoreKeyW(key, file.c_str(), 0));
}

void deleteKeyTree(HKEY parent, const std::wstring& subkey) {
    const LSTATUS status = ::SHDeleteKeyW(parent, subkey.c_str());
    if (status != ERROR_FILE_NOT_FOUND) {
        throwIfWin32Failed(status);
    }
}

} // namespace tw
