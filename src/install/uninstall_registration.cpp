#include "install/uninstall_registration.h"

#include "install/product.h"
#include "support/language_state.h"
#include "support/product_code.h"
#include "support/registry.h"

#include <string>
#include <system_error>

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

std::vector<UninstallValue> uninstallValueList(const UninstallValues& values) {
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

UninstallValues productUninstallValues(const std::wstring& productLabel,
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
    values.language = static_cast<std::uint32_t>(tw::currentLanguage().languageIndex);
    return values;
}

std::wstring uninstallKeyName() {
    return tw::productKeyName();
}

bool writeUninstallKey(const UninstallValues& values, UninstallLog& journal) {
    const UninstallKeyLocation& where = journal.uninstallKeys();
    tw::RegistryKey key;
    try {
        const tw::RegistryKey list = tw::OpenKey(where.root, where.parent, KEY_ALL_ACCESS);
        if (!list) {
            return false;
        }
        // The journal records a new key before it is made.
        key = tw::OpenKey(list, uninstallKeyName(), KEY_ALL_ACCESS);
        journal.AddUninstallKey(key.get());
        if (!key) {
            key = tw::CreateKey(list, uninstallKeyName(), KEY_ALL_ACCESS);
        }
    } catch (const std::system_error&) {
        journal.WithdrawLast();
        return false;
    }

    // Every value is attempted; only the required ones decide the outcome.
    bool registered = true;
    for (const UninstallValue& value : uninstallValueList(values)) {
        try {
            tw::writeValue(key, value.name, value.type, value.data.data(), value.data.size());
        } catch (const std::system_error&) {
            registered = registered && !value.required;
        }
    }
    key.reset();
    journal.CompleteLast(registered);
    return registered;
}
