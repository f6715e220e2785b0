#include "support/registry.h"

#include <system_error>
#include <vector>

namespace tw {

void throwRegistryError(LSTATUS status) {
    throw std::system_error(static_cast<int>(status), std::system_category());
}

RegistryKey CreateKey(HKEY parent, const std::wstring& subkey) {
    RegistryKey key;
    const LSTATUS status =
        ::RegCreateKeyExW(parent, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          MAXIMUM_ALLOWED, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        throwRegistryError(status);
    }
    return key;
}

RegistryKey CreateKey(const RegistryKey& parent, const std::wstring& subkey) {
    return CreateKey(parent.get(), subkey);
}

RegistryKey OpenKey(HKEY parent, const std::wstring& subkey) {
    RegistryKey key;
    const LSTATUS status = ::RegOpenKeyExW(parent, subkey.c_str(), 0, MAXIMUM_ALLOWED, key.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return RegistryKey{};
    }
    if (status != ERROR_SUCCESS) {
        throwRegistryError(status);
    }
    return key;
}

RegistryKey OpenKey(const RegistryKey& parent, const std::wstring& subkey) {
    return OpenKey(parent.get(), subkey);
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
    if (status != ERROR_SUCCESS) {
        throwRegistryError(status);
    }
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
    if (status != ERROR_SUCCESS) {
        throwRegistryError(status);
    }
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

} // namespace tw
