#include "install/uninstall_registration.h"

#include "install/product.h"
#include "support/common_controls.h"
#include "support/language_state.h"
#include "support/product_code.h"
#include "support/registry.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

using testing_support::ScratchFolder;
using testing_support::ScratchKey;

// The uninstall list of these tests; the product's key is "Kelvane 3" below it.
const std::wstring scratchList = L"Software\\kv-test\\Uninstall";
const std::wstring scratchPath = scratchList + L"\\Kelvane 3";

const std::wstring mainProgram = L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe";
const std::wstring uninstaller = L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Uninstall.exe";

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;

    std::wstring text() const {
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    }
    DWORD number() const {
        return bytes.size() == 4 ? *reinterpret_cast<const DWORD*>(bytes.data()) : 0xDEAD;
    }
};

class UninstallRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        tw::setProductCode(0x103);
        tw::SetLanguage(1);
    }
    void TearDown() override { tw::SetLanguage(1); }

    static Value read(const std::wstring& name) {
        Value value;
        HKEY key = nullptr;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, scratchPath.c_str(), 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        const tw::RegistryKey holder(key);
        DWORD size = 0;
        if (::RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return {};
        }
        value.bytes.resize(size);
        ::RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.bytes.data(), &size);
        return value;
    }

    // The value names of the key in the registry's enumeration order.
    static std::vector<std::wstring> names() {
        std::vector<std::wstring> result;
        HKEY key = nullptr;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, scratchPath.c_str(), 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        const tw::RegistryKey holder(key);
        for (DWORD index = 0;; ++index) {
            wchar_t name[256] = {};
            DWORD length = 256;
            if (::RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            result.emplace_back(name, length);
        }
        return result;
    }

    static void expectString(const std::wstring& name, const std::wstring& text) {
        const Value value = read(name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.bytes.size(), (text.size() + 1) * 2) << name;
        EXPECT_EQ(value.text(), text + L'\0') << name;
    }

    static void expectNumber(const std::wstring& name, DWORD number) {
        const Value value = read(name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(value.bytes.size(), 4u) << name;
        EXPECT_EQ(value.number(), number) << name;
    }

    static bool keyExists() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, scratchPath.c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }

    static bool write(UninstallLog& log) {
        return writeUninstallKey(productUninstallValues(L"Kelvane 3.00g", uninstaller, mainProgram),
                                 log);
    }

    // The journal's record of the key: the only entry of this run.
    static const LogEntry& keyEntry(const UninstallLog& log) {
        EXPECT_EQ(log.newEntries.size(), 1u);
        EXPECT_FALSE(log.pending);
        return log.newEntries.back();
    }

    ScratchKey scratch{HKEY_LOCAL_MACHINE, scratchList};
    ScratchFolder backups{L"registration"};
    UninstallLog journal{UninstallKeyLocation{HKEY_LOCAL_MACHINE, scratchList}, backups.path()};
};

TEST_F(UninstallRegistration, ProductValuesComeFromTheProductIdentity) {
    const UninstallValues values =
        productUninstallValues(L"Kelvane 3.00g", uninstaller, mainProgram);
    EXPECT_EQ(values.displayName, L"Kelvane 3.00g");
    EXPECT_EQ(values.uninstallerPath, uninstaller);
    EXPECT_EQ(values.mainProgramPath, mainProgram);
    EXPECT_EQ(values.displayVersion, L"3.0.7.1");
    EXPECT_EQ(values.publisher, L"Tarnwick");
    EXPECT_EQ(values.webAddress, product::webAddress);
    EXPECT_EQ(values.telephone, product::telephone);
    EXPECT_EQ(values.language, 1u);
    EXPECT_EQ(uninstallKeyName(), L"Kelvane 3");
}

const std::vector<std::wstring> writeOrder = {
    L"DisplayName",   L"UninstallString", L"DisplayIcon", L"DisplayVersion",
    L"Publisher",     L"URLInfoAbout",    L"HelpLink",    L"URLUpdateInfo",
    L"HelpTelephone", L"NoModify",        L"NoRepair",    L"TwLanguage"};

TEST_F(UninstallRegistration, ValueListHoldsTheTwelveValuesInOrderOnlyTwoRequired) {
    const std::vector<UninstallValue> list =
        uninstallValueList(productUninstallValues(L"Kelvane 3.00g", uninstaller, mainProgram));
    ASSERT_EQ(list.size(), writeOrder.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].name, writeOrder[i]);
        EXPECT_EQ(list[i].required, i < 2) << list[i].name;
        EXPECT_EQ(list[i].type, static_cast<DWORD>(i < 9 ? REG_SZ : REG_DWORD)) << list[i].name;
    }
    EXPECT_EQ(list[0].data.size(), (std::wstring(L"Kelvane 3.00g").size() + 1) * 2);
    EXPECT_EQ(list[2].data.size(), (mainProgram.size() + 3) * 2) << "path, \",0\" and NUL";
    EXPECT_EQ(list[11].data.size(), 4u);
}

TEST_F(UninstallRegistration, NewKeyHoldsTheTwelveValuesWithExactTypesAndSizes) {
    ASSERT_TRUE(write(journal));

    if (tw::runningUnderWine()) {
        // Wine enumerates values sorted by name, whatever order they were
        // written in; the order itself is checked on the value list above.
        std::vector<std::wstring> sorted = names();
        std::vector<std::wstring> expected = writeOrder;
        std::sort(sorted.begin(), sorted.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted, expected);
    } else {
        EXPECT_EQ(names(), writeOrder);
    }

    expectString(L"DisplayName", L"Kelvane 3.00g");
    expectString(L"UninstallString", uninstaller);
    // A path with spaces stays unquoted; the icon index follows it.
    expectString(L"DisplayIcon", mainProgram + L",0");
    expectString(L"DisplayVersion", L"3.0.7.1");
    expectString(L"Publisher", L"Tarnwick");
    expectString(L"URLInfoAbout", product::webAddress);
    expectString(L"HelpLink", product::webAddress);
    expectString(L"URLUpdateInfo", product::webAddress);
    expectString(L"HelpTelephone", product::telephone);
    expectNumber(L"NoModify", 1);
    expectNumber(L"NoRepair", 1);
    expectNumber(L"TwLanguage", 1);

    const LogEntry& entry = keyEntry(journal);
    EXPECT_EQ(entry.kind, LogKind::UninstallKey);
    EXPECT_TRUE(entry.done);
    EXPECT_EQ(entry.backup, L"") << "a new key has nothing to save";
}

TEST_F(UninstallRegistration, RollbackOfANewKeyDeletesIt) {
    ASSERT_TRUE(write(journal));
    ASSERT_TRUE(keyExists());
    journal.Rollback();
    EXPECT_FALSE(keyExists());
}

TEST_F(UninstallRegistration, ExistingKeyIsReusedAndHandedToTheJournal) {
    {
        const tw::RegistryKey key = tw::CreateKey(HKEY_LOCAL_MACHINE, scratchPath);
        const std::wstring location = L"C:\\Old\\Place";
        const std::wstring oldName = L"Kelvane 3.00a";
        ::RegSetValueExW(key.get(), L"InstallLocation", 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(location.c_str()),
                         static_cast<DWORD>((location.size() + 1) * 2));
        ::RegSetValueExW(key.get(), L"DisplayName", 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(oldName.c_str()),
                         static_cast<DWORD>((oldName.size() + 1) * 2));
        const DWORD french = 0;
        ::RegSetValueExW(key.get(), L"TwLanguage", 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&french), sizeof(french));
    }

    ASSERT_TRUE(write(journal));

    const LogEntry& entry = keyEntry(journal);
    EXPECT_EQ(entry.kind, LogKind::UninstallKey);
    EXPECT_TRUE(entry.done);
    ASSERT_NE(entry.backup, L"") << "the existing key was handed over and saved";
    EXPECT_NE(::GetFileAttributesW(entry.backup.c_str()), INVALID_FILE_ATTRIBUTES);
    expectString(L"InstallLocation", L"C:\\Old\\Place");
    expectString(L"DisplayName", L"Kelvane 3.00g");
    expectNumber(L"TwLanguage", 1);
    EXPECT_EQ(names().size(), 13u);

    const std::wstring backup = entry.backup;
    journal.Rollback();
    EXPECT_EQ(::GetFileAttributesW(backup.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the saved key is deleted by the rollback";
    ASSERT_TRUE(keyExists()) << "an earlier key is restored, not deleted";
    if (tw::runningUnderWine()) {
        GTEST_SKIP() << "Wine's RegRestoreKeyW reports success but restores nothing";
    }
    expectString(L"DisplayName", L"Kelvane 3.00a");
    expectNumber(L"TwLanguage", 0);
}

TEST_F(UninstallRegistration, LanguageIsTheMakersLanguageIndex) {
    for (const std::int32_t index : {0, 1, 2, 11}) {
        tw::SetLanguage(index);
        UninstallLog log{UninstallKeyLocation{HKEY_LOCAL_MACHINE, scratchList}};
        ASSERT_TRUE(write(log));
        expectNumber(L"TwLanguage", static_cast<DWORD>(index));
    }
}

TEST_F(UninstallRegistration, ListThatCannotBeOpenedFailsWithoutTellingTheJournal) {
    UninstallLog elsewhere{UninstallKeyLocation{HKEY_LOCAL_MACHINE, scratchList + L"\\missing"}};
    EXPECT_FALSE(write(elsewhere));
    EXPECT_TRUE(elsewhere.newEntries.empty());
    EXPECT_FALSE(elsewhere.pending);
}

} // namespace
