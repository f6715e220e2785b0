#include "support/application_id.h"

#include "support/path_stem.h"

#include <windows.h>
#include <cstdlib>

namespace tw {

namespace {

std::wstring& storage() {
    static std::wstring id;
    return id;
}

// STAND-IN until the version-resource reader arrives: reads one string of the
// first translation of the own RT_VERSION resource.
std::wstring ownVersionString(const wchar_t* key) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_VERSION);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return {};
    }
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* table = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&table),
                          &length) ||
        length < sizeof(Translation)) {
        return {};
    }
    wchar_t block[64];
    ::wsprintfW(block, L"\\StringFileInfo\\%04hx%04hx\\%ls", table->language, table->codePage, key);
    wchar_t* value = nullptr;
    if (!::VerQueryValueW(data, block, reinterpret_cast<void**>(&value), &length) || length == 0) {
        return {};
    }
    std::wstring text(value, length);
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

std::wstring programPath() {
    if (_wpgmptr != nullptr && *_wpgmptr != L'\0') {
        return _wpgmptr;
    }
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

} // namespace

const std::wstring& applicationId() {
    return storage();
}

namespace details {
void deriveApplicationId() {
    std::wstring id = ownVersionString(L"ApplicationId");
    if (id.empty()) {
        id = ownVersionString(L"ProductName");
    }
    if (id.empty()) {
        id = fileStem(programPath());
    }
    storage() = std::move(id);
}
} // namespace details

} // namespace tw
