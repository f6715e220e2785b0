#include "support/registry.h"

#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <system_error>
#include <type_traits>
#include <vector>

namespace {

using testing_support::ScratchKey;

static_assert(!std::is_copy_constructible_v<tw::RegistryKey>);
static_assert(!std::is_copy_assignable_v<tw::RegistryKey>);
static_assert(std::is_nothrow_move_constructible_v<tw::RegistryKey>);
static_assert(std::is_nothrow_move_assignable_v<tw::RegistryKey>);

constexpr wchar_t scratchPath[] = L"Software\\kv-test\\registry";

class Registry : public ::testing::Test {
protected:
    ScratchKey scratch{HKEY_CURRENT_USER, scratchPath};

    HKEY open() {
        HKEY key = nullptr;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, scratchPath, 0, KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        return key;
    }

    // Stores exactly `bytes` bytes. RegSetValueExW adds a NUL to a string
    // value whose count leaves it out when the character after the data is
    // NUL, so the data is followed by an 'X' here.
    void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        std::vector<BYTE> stored(static_cast<const BYTE*>(data),
                                 static_cast<const BYTE*>(data) + bytes);
        stored.push_back('X');
        stored.push_back(0);
        stored.push_back('X');
        stored.push_back(0);
        tw::RegistryKey key(open());
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, stored.data(), bytes), ERROR_SUCCESS);
    }
};

// The code of a std::system_error raised by f, checked to be in the system
// category with no message of its own; 0 when nothing was raised.
template <typename F>
int raisedCode(F&& f) {
    try {
        f();
    } catch (const std::system_error& error) {
        EXPECT_EQ(&error.code().category(), &std::system_category());
        EXPECT_EQ(std::string(error.what()), error.code().message());
        return error.code().value();
    }
    return 0;
}

TEST_F(Registry, OpenKeyOfMissingKeyIsEmptyAndRaisesNothing) {
    tw::RegistryKey key;
    ASSERT_NO_THROW(key = tw::OpenKey(HKEY_CURRENT_USER, std::wstring(scratchPath) + L"\\missing"));
    EXPECT_FALSE(key);
    EXPECT_EQ(key.get(), nullptr);
}

TEST_F(Registry, OpenKeyOfExistingKeyBelowHandleOrHolder) {
    const tw::RegistryKey parent = tw::OpenKey(HKEY_CURRENT_USER, L"Software\\kv-test");
    ASSERT_TRUE(parent);
    const tw::RegistryKey child = tw::OpenKey(parent, L"registry");
    EXPECT_TRUE(child);
}

TEST_F(Registry, OpenAndCreateRaiseOtherErrorsInTheSystemCategory) {
    // A null parent is not a key: the system answers ERROR_INVALID_HANDLE.
    const HKEY noKey = nullptr;
    EXPECT_EQ(raisedCode([&] { tw::OpenKey(noKey, L"Software"); }), ERROR_INVALID_HANDLE);
    EXPECT_EQ(raisedCode([&] { tw::CreateKey(noKey, L"Software"); }), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, CreateKeyMakesMissingParentsAndOpensExistingKeys) {
    const std::wstring deep = std::wstring(scratchPath) + L"\\a\\b\\c";
    {
        const tw::RegistryKey created = tw::CreateKey(HKEY_CURRENT_USER, deep);
        ASSERT_TRUE(created);
        const DWORD one = 1;
        ASSERT_EQ(::RegSetValueExW(created.get(), L"mark", 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&one), sizeof(one)),
                  ERROR_SUCCESS);
    }
    const tw::RegistryKey parent = tw::OpenKey(HKEY_CURRENT_USER, scratchPath);
    const tw::RegistryKey again = tw::CreateKey(parent, L"a\\b\\c");
    DWORD value = 0;
    DWORD size = sizeof(value);
    EXPECT_EQ(::RegQueryValueExW(again.get(), L"mark", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 1u) << "the existing key was opened, not replaced";
}

TEST_F(Registry, HolderMovesOwnership) {
    tw::RegistryKey first(open());
    const HKEY handle = first.get();
    ASSERT_NE(handle, nullptr);
    tw::RegistryKey second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), handle);
    tw::RegistryKey third;
    third = std::move(second);
    EXPECT_FALSE(second);
    EXPECT_EQ(third.get(), handle);
    third.reset();
    EXPECT_FALSE(third);
}

// One stored value and what ReadString makes of it.
struct StoredValue {
    const char* label;
    DWORD type;
    std::vector<wchar_t> data; // stored exactly, NUL included only when listed
    int extraByte;             // 1 to store one byte more (an odd size)
    bool read;
    std::wstring expected;
};

class ReadStringOf : public Registry, public ::testing::WithParamInterface<StoredValue> {};

TEST_P(ReadStringOf, StoredValue) {
    const StoredValue& stored = GetParam();
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(stored.data.data()),
                            reinterpret_cast<const BYTE*>(stored.data.data() + stored.data.size()));
    if (stored.extraByte != 0) {
        bytes.push_back(0);
    }
    setRaw(L"value", stored.type, bytes.data(), static_cast<DWORD>(bytes.size()));

    // The stored size is what the test meant to store.
    tw::RegistryKey key(open());
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(::RegQueryValueExW(key.get(), L"value", nullptr, &type, nullptr, &size),
              ERROR_SUCCESS);
    ASSERT_EQ(size, bytes.size());

    std::wstring output = L"unchanged";
    EXPECT_EQ(tw::ReadString(key, L"value", output), stored.read);
    EXPECT_EQ(output, stored.read ? stored.expected : std::wstring(L"unchanged"));
}

std::vector<wchar_t> chars(std::wstring_view text) {
    return {text.begin(), text.end()};
}

INSTANTIATE_TEST_SUITE_P(
    Registry, ReadStringOf,
    ::testing::Values(
        StoredValue{"TerminatedString", REG_SZ, chars({L"abc\0", 4}), 0, true, L"abc"},
        StoredValue{"StringWithoutNul", REG_SZ, chars(L"abc"), 0, false, L""},
        StoredValue{"EmptyStringOfSizeZero", REG_SZ, {}, 0, true, L""},
        StoredValue{"EmptyStringOfSizeTwo", REG_SZ, chars({L"\0", 1}), 0, true, L""},
        StoredValue{"OddSize", REG_SZ, chars({L"abc\0", 4}), 1, false, L""},
        StoredValue{"ExpandStringUnexpanded", REG_EXPAND_SZ,
                    chars({L"%SystemRoot%\\notepad.exe\0", 25}), 0, true,
                    L"%SystemRoot%\\notepad.exe"},
        StoredValue{"InnerNulKept", REG_SZ, chars({L"a\0b\0", 4}), 0, true, {L"a\0b", 3}},
        StoredValue{"Binary", REG_BINARY, chars({L"abc\0", 4}), 0, false, L""},
        StoredValue{"MultiString", REG_MULTI_SZ, chars({L"abc\0\0", 5}), 0, false, L""}),
    [](const ::testing::TestParamInfo<StoredValue>& stored) { return stored.param.label; });

TEST_F(Registry, ReadStringOfDwordIsFalseAndLeavesOutputAlone) {
    const DWORD number = 0x00410041; // reads as "AA" if taken for text
    setRaw(L"number", REG_DWORD, &number, sizeof(number));
    const tw::RegistryKey key(open());
    std::wstring output = L"unchanged";
    EXPECT_FALSE(tw::ReadString(key, L"number", output));
    EXPECT_EQ(output, L"unchanged");
}

TEST_F(Registry, ReadStringOfMissingValueIsFalse) {
    const tw::RegistryKey key(open());
    std::wstring output = L"unchanged";
    EXPECT_FALSE(tw::ReadString(key.get(), L"missing", output));
    EXPECT_EQ(output, L"unchanged");
}

TEST_F(Registry, ReadStringOfLongValue) {
    const std::wstring text(5000, L'x');
    setRaw(L"long", REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
    const tw::RegistryKey key(open());
    std::wstring output;
    EXPECT_TRUE(tw::ReadString(key, L"long", output));
    EXPECT_EQ(output, text);
}

TEST_F(Registry, ReadStringRaisesOtherErrors) {
    std::wstring output = L"unchanged";
    const HKEY noKey = nullptr;
    EXPECT_EQ(raisedCode([&] { tw::ReadString(noKey, L"value", output); }), ERROR_INVALID_HANDLE);
    EXPECT_EQ(output, L"unchanged");
}

} // namespace
