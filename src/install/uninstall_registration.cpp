#include "install/uninstall_registration.h"

#include "app/product.h"
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

// A REG_SZ value with its terminating NUL: (characters + 1) × 2 bytes.
LSTATUS setString(HKEY key, const wchar_t* name, const std::wstring& text) {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LSTATUS setNumber(HKEY key, const wchar_t* name, DWORD number) {
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof(number));
}

// The twelve values in the order the list expects them. Only DisplayName and
// UninstallString decide the outcome: without them the entry is useless,
// while the others merely decorate it.
bool writeValues(HKEY key, const UninstallValues& values) {
    const bool named = setString(key, L"DisplayName", values.displayName) == ERROR_SUCCESS;
    const bool removable =
        setString(key, L"UninstallString", values.uninstallerPath) == ERROR_SUCCESS;
    setString(key, L"DisplayIcon", values.mainProgramPath + L",0");
    setString(key, L"DisplayVersion", values.displayVersion);
    setString(key, L"Publisher", values.publisher);
    setString(key, L"URLInfoAbout", values.webAddress);
    setString(key, L"HelpLink", values.webAddress);
    setString(key, L"URLUpdateInfo", values.webAddress);
    setString(key, L"HelpTelephone", values.telephone);
    setNumber(key, L"NoModify", 1);
    setNumber(key, L"NoRepair", 1);
    setNumber(key, L"TwLanguage", values.language);
    return named && removable;
}

} // namespace

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

bool WriteUninstallKey(const UninstallValues& values, const UninstallKeyJournal& journal,
                       const std::wstring& keyName) {
    tw::unique_hkey list;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstallListPath, 0, KEY_ALL_ACCESS, list.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    tw::unique_hkey key;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(list.get(), keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), &disposition) != ERROR_SUCCESS) {
        return false;
    }
    if (journal.added) {
        journal.added(disposition == REG_OPENED_EXISTING_KEY ? key.get() : nullptr);
    }
    const bool registered = writeValues(key.get(), values);
    key.reset();
    if (journal.completed) {
        journal.completed(registered);
    }
    return registered;
}
