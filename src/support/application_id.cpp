#include "support/application_id.h"

#include "support/path_stem.h"
#include "support/version_info.h"

#include <windows.h>
#include <cstdlib>

namespace tw {

namespace {

std::wstring& storage() {
    static std::wstring id;
    return id;
}

} // namespace

std::wstring programPath() {
    if (_wpgmptr != nullptr && *_wpgmptr != L'\0') {
        return _wpgmptr;
    }
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

const std::wstring& applicationId() {
    return storage();
}

namespace details {
void deriveApplicationId() {
    const VersionInfo own = VersionInfo::fromOwnModule();
    std::wstring id = own.stringValue(L"ApplicationId");
    if (id.empty()) {
        id = own.productName();
    }
    if (id.empty()) {
        id = fileStem(programPath());
    }
    storage() = std::move(id);
}
} // namespace details

} // namespace tw
