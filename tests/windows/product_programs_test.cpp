// The product's programs that the payload carries, as far as the setup
// program relies on them: the main program's registration run and exit code,
// the version resources, and the language modules.
#include "support/unique_resource.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::buildPath;

const std::wstring programs = buildPath(KV_PRODUCT_BIN);

// Runs a program with arguments and returns its exit code.
DWORD run(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\"" + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        ADD_FAILURE() << "cannot start the program: " << ::GetLastError();
        return 0;
    }
    ::CloseHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end";
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, 5000);
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.hProcess, &code)) {
        ADD_FAILURE() << "no exit code: " << ::GetLastError();
    }
    ::CloseHandle(process.hProcess);
    return code;
}

std::wstring stringValue(HKEY root, const std::wstring& subKey, const wchar_t* name = nullptr) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(root, subKey.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return value;
}

std::wstring classValue(const std::wstring& subKey) {
    return stringValue(HKEY_CLASSES_ROOT, subKey);
}

// The version an update replaced, as the main program remembers it for the user.
std::wstring updatedFrom() {
    return stringValue(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Kelvane 3", L"Updated From");
}

void wipeAssociation() {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".kvd");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Kelvane.Document.3");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Kelvane 3", L"Updated From");
}

class MainProgramRegistration : public testing::Test {
protected:
    void SetUp() override { wipeAssociation(); }
    void TearDown() override { wipeAssociation(); }

    const std::wstring program = programs + L"\\Kelvane.exe";
};

TEST_F(MainProgramRegistration, RegistersTheDocumentTypeAndAnswersMinus10) {
    EXPECT_EQ(run(program, L" /Register /Background"), 0xFFFFFFF6u);
    EXPECT_EQ(classValue(L".kvd"), L"Kelvane.Document.3");
    EXPECT_EQ(classValue(L"Kelvane.Document.3"), L"Kelvane Document");
    EXPECT_EQ(classValue(L"Kelvane.Document.3\\shell\\open\\command"),
              L"\"" + program + L"\" \"%1\"");
    EXPECT_EQ(classValue(L"Kelvane.Document.3\\DefaultIcon"), L"\"" + program + L"\",-2");
    EXPECT_EQ(updatedFrom(), L"");
}

TEST_F(MainProgramRegistration, AcceptsAndRemembersTheVersionBeingUpdated) {
    EXPECT_EQ(run(program, L" /Register /Background /update=0003000000050000"), 0xFFFFFFF6u);
    EXPECT_EQ(classValue(L".kvd"), L"Kelvane.Document.3");
    EXPECT_EQ(updatedFrom(), L"0003000000050000");
}

TEST_F(MainProgramRegistration, RefusesAMalformedCommandLine) {
    EXPECT_EQ(run(program, L" /Register /Background /update=3.0.5"),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(run(program, L" /Register"), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(classValue(L".kvd"), L"");
}

struct VersionResource {
    mutable std::vector<std::uint8_t> data;

    explicit VersionResource(const std::wstring& path)
        : data(testing_support::systemVersionInfo(path)) {}

    std::wstring string(const std::wstring& block, const std::wstring& key) const {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring path = L"\\StringFileInfo\\" + block + L"\\" + key;
        if (data.empty() ||
            !testing_support::systemVersionValue(data, path, reinterpret_cast<void**>(&value),
                                                 &length) ||
            length == 0) {
            return {};
        }
        return std::wstring(value, value[length - 1] == L'\0' ? length - 1 : length);
    }

    std::uint64_t fileVersion() const {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (data.empty() || !testing_support::systemVersionValue(
                                data, L"\\", reinterpret_cast<void**>(&fixed), &length)) {
            return 0;
        }
        return (std::uint64_t{fixed->dwFileVersionMS} << 32) | fixed->dwFileVersionLS;
    }
};

TEST(ProductVersionResources, NameTheProductAndShareTheApplicationId) {
    const VersionResource main(programs + L"\\Kelvane.exe");
    EXPECT_EQ(main.fileVersion(), 0x0003000000070001ull);
    EXPECT_EQ(main.string(L"040004b0", L"ProductName"), L"Kelvane");
    EXPECT_EQ(main.string(L"040004b0", L"ProductVersion"), L"3.00g");
    EXPECT_EQ(main.string(L"040004b0", L"ApplicationId"), L"Kelvane3");
    const VersionResource uninstaller(programs + L"\\Uninstall.exe");
    EXPECT_EQ(uninstaller.string(L"040004b0", L"ApplicationId"), L"Kelvane3");
}

struct LanguageModule {
    const wchar_t* code;
    const wchar_t* langId;
    const wchar_t* welcome;
};

class LanguageModules : public testing::TestWithParam<LanguageModule> {};

TEST_P(LanguageModules, HoldTheirTextsAndNoCode) {
    const std::wstring path = programs + L"\\Kelvane." + GetParam().code + L".dll";
    tw::unique_hmodule module(::LoadLibraryExW(
        path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module);
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module.get(), 1, reinterpret_cast<wchar_t*>(&text), 0);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::wstring(text, static_cast<std::size_t>(length)), GetParam().welcome);
    const VersionResource version(path);
    EXPECT_EQ(version.string(std::wstring(GetParam().langId) + L"04b0", L"OriginalFilename"),
              L"Kelvane." + std::wstring(GetParam().code) + L".dll");
}

INSTANTIATE_TEST_SUITE_P(
    Nine, LanguageModules,
    testing::Values(LanguageModule{L"fr", L"040c", L"Bienvenue dans Kelvane 3"},
                    LanguageModule{L"de", L"0407", L"Willkommen bei Kelvane 3"},
                    LanguageModule{L"es", L"0c0a", L"Bienvenido a Kelvane 3"},
                    LanguageModule{L"pt", L"0816", L"Bem-vindo ao Kelvane 3"},
                    LanguageModule{L"it", L"0410", L"Benvenuto in Kelvane 3"},
                    LanguageModule{L"tr", L"041f", L"Kelvane 3'e ho\u015f geldiniz"},
                    LanguageModule{L"ro", L"0418", L"Bun venit \u00een Kelvane 3"},
                    LanguageModule{L"pl", L"0415", L"Witamy w programie Kelvane 3"},
                    LanguageModule{L"hu", L"040e", L"\u00dcdv\u00f6zli a Kelvane 3"}),
    [](const auto& c) { return std::string(c.param.code, c.param.code + 2); });

} // namespace
