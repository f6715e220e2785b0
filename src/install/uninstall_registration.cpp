#include "install/uninstall_registration.h"

#include "install/product.h"
#include "support/language_state.h"
#include "support/product_code.h"
#include "support/unique_resource.h"

#include <string>

namespace {

std::wstring versionText(std::uint64_t version) {
    const auto part = [version](int shift) {
        return std::to_wstring(static_cast<unsigned>((version >> shift) & 0xFFFFu));
    };
    return part(48) + L"." + part(32) + L"." + part(16) + L"." + part(0);
}

UninstallValue text(const wchar_t* name, const std::wstring& value, bool required = false) {
    const auto* bytes = reinterpret_cast<const BYTE*>(value.c_str());
    return {name, REG_SZ, std::vector<BYTE>(bytes, bytes + (value.size() + 1) * sizeof(wchar_t)),
            required};
}

UninstallValue number(const wchar_t* name, DWORD value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return {name, REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(value)), false};
}

} // namespace

std::vector<UninstallValue> UninstallValueList(const UninstallValues& values) {
    return {
        text(L"DisplayName", values.displayName, true),
        text(L"UninstallString", values.uninstallerPath, true),
        text(L"DisplayIcon", values.mainProgramPath + L",0"),
        text(L"DisplayVersion", values.displayVersion),
        text(L"Publisher", values.publisher),
        text(L"URLInfoAbout", values.webAddress),
        text(L"HelpLink", values.webAddress),
        text(L"URLUpdateInfo", values.webAddress),
        text(L"HelpTelephone", values.telephone),
        number(L"NoModify", 1),
        number(L"NoRepair", 1),
        number(L"TwLanguage", values.language),
    };
}

UninstallValues ProductUninstallValues(const std::wstring& productLabel,
                                       const std::wstring& uninstallerPath,
                                       const std::wstring& mainProgramPath) {
    UninstallValues values;
    values.displayName = productLabel;
    values.uninstallerPath = uninstallerPath;
    values.mainProgramPath = mainProgramPath;
    values.displayVersion = versionText(product::ownVersion);
    values.publisher = product::maker;
    values.webAddress = product::webAddress;
    values.telephone = product::telephone;
    values.language = static_cast<std::uint32_t>(tw::CurrentLanguage().languageIndex);
    return values;
}

std::wstring UninstallKeyName() {
    return tw::productKeyName();
}

bool WriteUninstallKey(const UninstallValues& values, UninstallLog& journal) {
    const UninstallKeyLocation& where = journal.uninstallKeys();
    tw::unique_hkey list;
    if (::RegOpenKeyExW(where.root, where.parent.c_str(), 0, KEY_ALL_ACCESS, list.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    tw::unique_hkey key;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(list.get(), UninstallKeyName().c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                          &disposition) != ERROR_SUCCESS) {
        return false;
    }
    journal.AddUninstallKey(disposition == REG_OPENED_EXISTING_KEY ? key.get() : nullptr);

    // Every value is attempted; only the required ones decide the outcome.
    bool registered = true;
    for (const UninstallValue& value : UninstallValueList(values)) {
        const LSTATUS status =
            ::RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                             static_cast<DWORD>(value.data.size()));
        if (value.required && status != ERROR_SUCCESS) {
            registered = false;
        }
    }
    key.reset();
    journal.CompleteLast(registered);
    return registered;
}
