#include "uninstall/texts.h"

#include "common/language_module.h"
#include "uninstall/product_registry.h"
#include "uninstall/resource.h"

#include "install/uninstall_key.h"
#include "support/language_table.h"
#include "support/unique_resource.h"

#include <windows.h>

#include <optional>

namespace uninstall {

namespace {

// The primary language of the product language recorded at installation;
// nothing when none is recorded or it names no language.
std::optional<WORD> installedLanguage() {
    DWORD index = 0;
    DWORD size = sizeof index;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, uninstallKeyPath().c_str(), uninstall_key::language,
                       RRF_RT_REG_DWORD, nullptr, &index, &size) != ERROR_SUCCESS ||
        !tw::isLanguageIndex(index)) {
        return std::nullopt;
    }
    return PRIMARYLANGID(tw::languageLangId(static_cast<std::int32_t>(index)));
}

} // namespace

Texts loadTexts(const std::wstring& programFolder) {
    const std::optional<WORD> language = installedLanguage();
    const auto text = [&](UINT id) {
        std::wstring localised =
            language ? kelvane::languageText(programFolder, *language, id) : std::wstring();
        return localised.empty() ? kelvane::loadString(nullptr, id) : localised;
    };
    return {text(IDS_UNINSTALL_CAPTION),        text(IDS_UNINSTALL_CONFIRM),
            text(IDS_UNINSTALL_CLOSE_PRODUCT),  text(IDS_UNINSTALL_NOT_ADMINISTRATOR),
            text(IDS_UNINSTALL_UNREADABLE_LOG), text(IDS_UNINSTALL_REMOVED),
            text(IDS_UNINSTALL_KEPT),           text(IDS_UNINSTALL_LINKS),
            text(IDS_UNINSTALL_NOT_REMOVED)};
}

int showText(const std::wstring& caption, const std::wstring& text, std::uint32_t style) {
    return ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), style);
}

std::wstring listText(const std::wstring& heading, const std::vector<std::wstring>& paths) {
    std::wstring text = heading;
    for (const std::wstring& path : paths) {
        text += L"\r\n" + path;
    }
    return text;
}

} // namespace uninstall
