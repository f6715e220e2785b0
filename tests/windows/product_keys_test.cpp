#include "support/product_keys.h"

#include "support/product_code.h"
#include "support/registry.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <fstream>
#include <optional>
#include <vector>

namespace {

using testing_support::ScratchFolder;

// The product path value is the real one, under the maker's key below
// HKEY_LOCAL_MACHINE; the fixture keeps what was there and puts it back.
class ProductKeys : public ::testing::Test {
protected:
    void SetUp() override {
        tw::setProductCode(0x103);
        ASSERT_EQ(tw::productPathValueName(), L"Kelvane 3 Path");
        ASSERT_EQ(tw::makerKeyPath(), L"Software\\Tarnwick");
        saved_ = readRaw();
        deleteValue();
    }

    void TearDown() override {
        deleteValue();
        if (saved_) {
            setRaw(saved_->type, saved_->bytes.data(), static_cast<DWORD>(saved_->bytes.size()));
        }
    }

    struct Raw {
        DWORD type = REG_NONE;
        std::vector<BYTE> bytes;
    };

    static std::optional<Raw> readRaw() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick", 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        const tw::RegistryKey holder(key);
        Raw raw;
        DWORD size = 0;
        if (::RegQueryValueExW(key, L"Kelvane 3 Path", nullptr, &raw.type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        raw.bytes.resize(size);
        if (::RegQueryValueExW(key, L"Kelvane 3 Path", nullptr, &raw.type, raw.bytes.data(),
                               &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        raw.bytes.resize(size);
        return raw;
    }

    static void setRaw(DWORD type, const void* data, DWORD bytes) {
        const tw::RegistryKey key = tw::CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick");
        ASSERT_EQ(::RegSetValueExW(key.get(), L"Kelvane 3 Path", 0, type,
                                   static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
    }

    static void setText(DWORD type, const std::wstring& text) {
        setRaw(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    static void deleteValue() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick", 0, KEY_ALL_ACCESS, &key) ==
            ERROR_SUCCESS) {
            ::RegDeleteValueW(key, L"Kelvane 3 Path");
            ::RegCloseKey(key);
        }
    }

    static std::wstring makeFile(const std::wstring& path) {
        std::ofstream(path.c_str()) << "program";
        return path;
    }

    ScratchFolder folder{L"product-keys"};
    std::optional<Raw> saved_;
};

TEST_F(ProductKeys, WriteStoresTheTerminatedPathAsString) {
    const std::wstring program = L"C:\\Program Files\\Tarnwick\\Kelvane 3\\Kelvane.exe";
    tw::WriteProductPath(program);
    const std::optional<Raw> raw = readRaw();
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(raw->bytes.size(), (program.size() + 1) * 2);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(raw->bytes.data())), program);
    EXPECT_EQ(raw->bytes[raw->bytes.size() - 1], 0);
    EXPECT_EQ(raw->bytes[raw->bytes.size() - 2], 0);
}

TEST_F(ProductKeys, ReadGivesTheWrittenPathOfAnExistingProgram) {
    const std::wstring program = makeFile(folder / L"Kelvane.exe");
    tw::WriteProductPath(program);
    EXPECT_EQ(tw::readProductPathNow(), program);
}

TEST_F(ProductKeys, ASecondInstallationReplacesThePath) {
    tw::WriteProductPath(makeFile(folder / L"first.exe"));
    const std::wstring second = makeFile(folder / L"second.exe");
    tw::WriteProductPath(second);
    EXPECT_EQ(tw::readProductPathNow(), second);
}

TEST_F(ProductKeys, ReadIsEmptyOnceTheProgramIsDeletedThoughTheValueRemains) {
    const std::wstring program = makeFile(folder / L"Kelvane.exe");
    tw::WriteProductPath(program);
    ASSERT_TRUE(::DeleteFileW(program.c_str()));
    EXPECT_EQ(tw::readProductPathNow(), L"");
    ASSERT_TRUE(readRaw()) << "the value is still present";
}

TEST_F(ProductKeys, ReadIsEmptyWithoutTheValue) {
    EXPECT_EQ(tw::readProductPathNow(), L"");
}

TEST_F(ProductKeys, ReadIsEmptyForAValueThatIsNoString) {
    const DWORD number = 1;
    setRaw(REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(tw::readProductPathNow(), L"");
}

TEST_F(ProductKeys, ReadIsEmptyWithoutTheMakerKey) {
    // Only when the key holds nothing else: the prefix may carry other values.
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick", 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        DWORD subkeys = 0;
        DWORD values = 0;
        ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                           nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(key);
        if (subkeys != 0 || values != 0) {
            GTEST_SKIP() << "HKLM\\Software\\Tarnwick holds other data in this prefix";
        }
        ASSERT_EQ(::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick"), ERROR_SUCCESS);
    }
    EXPECT_EQ(tw::readProductPathNow(), L"");
}

TEST_F(ProductKeys, ExpandStringIsTakenUnexpanded) {
    // A folder literally named "%KV_TEST_FOLDER%": only the unexpanded path
    // names an existing program.
    const std::wstring literal = folder / L"%KV_TEST_FOLDER%";
    ASSERT_TRUE(::CreateDirectoryW(literal.c_str(), nullptr));
    const std::wstring program = makeFile(literal + L"\\Kelvane.exe");
    ASSERT_TRUE(::SetEnvironmentVariableW(L"KV_TEST_FOLDER", L"elsewhere"));
    setText(REG_EXPAND_SZ, program);
    EXPECT_EQ(tw::readProductPathNow(), program);
    ::SetEnvironmentVariableW(L"KV_TEST_FOLDER", nullptr);
}

TEST_F(ProductKeys, ReadKeepsTheFirstAnswerOfTheProcess) {
    const std::wstring first = makeFile(folder / L"first.exe");
    tw::WriteProductPath(first);
    const std::wstring& kept = tw::ReadProductPath();
    EXPECT_EQ(kept, first);
    tw::WriteProductPath(makeFile(folder / L"second.exe"));
    EXPECT_EQ(tw::ReadProductPath(), first);
    EXPECT_EQ(&tw::ReadProductPath(), &kept);
}

} // namespace
