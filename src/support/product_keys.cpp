#include "support/product_keys.h"

#include "support/product_code.h"
#include "support/registry.h"

#include <windows.h>

namespace tw {

std::wstring makerKeyPath() {
    return std::wstring(L"Software\\") + makerName;
}

std::wstring productPathValueName() {
    return productKeyName() + L" Path";
}

void WriteProductPath(const std::wstring& programPath) {
    const RegistryKey key = CreateKey(HKEY_LOCAL_MACHINE, makerKeyPath());
    writeString(key, productPathValueName(), programPath);
}

std::wstring readProductPathNow() {
    const RegistryKey key = OpenKey(HKEY_LOCAL_MACHINE, makerKeyPath());
    if (!key) {
        return {};
    }
    std::wstring path;
    if (!ReadString(key, productPathValueName(), path)) {
        return {};
    }
    // A folder there is no installed program.
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {};
    }
    return path;
}

const std::wstring& ReadProductPath() {
    static const std::wstring path = readProductPathNow();
    return path;
}

} // namespace tw
