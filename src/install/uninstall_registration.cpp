#include "install/uninstall_registration.h"

#include "install/product.h"
#include "install/uninstall_key.h"
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
        text(uninstall_key::displayName, values.displayName, true),
        text(uninstall_key::uninstallString, values.uninstallerPath, true),
        text(uninstall_key::displayIcon, values.mainProgramPath + L",0"),
        text(uninstall_key::displayVersion, values.displayVersion),
        text(uninstall_key::publisher, values.publisher),
        text(uninstall_key::urlInfoAbout, values.webAddress),
        text(uninstall_key::helpLink, values.webAddress),
        text(uninstall_key::urlUpdateInfo, values.webAddress),
        text(uninstall_key::helpTelephone, values.telephone),
        number(uninstall_key::noModify, 1),
        number(uninstall_key::noRepair, 1),
        number(uninstall_key::language, values.language),
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
