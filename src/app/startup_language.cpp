#include "app/startup_language.h"

#include "install/installer_languages.h"
#include "install/uninstall_key.h"
#include "support/language_state.h"
#include "support/product_code.h"

#include <windows.h>
#include <shlwapi.h>
#include <string>

std::optional<std::uint32_t> storedLanguagePreference() {
    const std::wstring key = std::wstring(uninstall_key::listPath) + L"\\" + tw::productKeyName();
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::SHGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), uninstall_key::language, &type, &value,
                      &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

void chooseStartupLanguage() {
    tw::SetLanguage(tw::DefaultLanguage(ProductLanguages));
    if (const std::optional<std::uint32_t> stored = storedLanguagePreference();
        stored && IsProductLanguage(*stored)) {
        tw::SetLanguage(static_cast<std::int32_t>(*stored));
    }
    if (!HasInstallerTexts(tw::currentLanguage().languageIndex)) {
        tw::SetLanguage(tw::language::english);
    }
}
