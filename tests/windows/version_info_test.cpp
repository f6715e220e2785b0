#include "support/version_info.h"

#include "support/application_id.h"
#include "support/language_state.h"
#include "support/product_code.h"
#include "support/providers.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::pair<const void*, std::uint32_t> ownResource(int id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_VERSION);
    if (found == nullptr) {
        return {nullptr, 0};
    }
    return {::LockResource(::LoadResource(module, found)), ::SizeofResource(module, found)};
}

tw::VersionInfo borrowed(int id) {
    const auto [data, size] = ownResource(id);
    return tw::VersionInfo(data, size);
}

Bytes ownResourceCopy(int id) {
    const auto [data, size] = ownResource(id);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

// The installer of this build, as Wine sees the build folder.
std::wstring installerPath() {
    const std::string unixPath = KV_INSTALLER_FILE;
    std::wstring path = L"Z:";
    for (const char c : unixPath) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

// Must run first: whether this is the "Lisquen" build is decided once per
// process, by the first resource the brand rule runs on with family 0x100.
TEST(VersionInfoBrand, DecidedOnceByTheFirstResource) {
    tw::setProductCode(0x103);
    tw::SetLanguage(tw::language::german);
    const tw::VersionInfo special = borrowed(2);
    EXPECT_EQ(special.brandedProductName(), L"Kelvane und Lisquen");
    const tw::VersionInfo plain = borrowed(3);
    EXPECT_EQ(plain.stringValue(L"SpecialBuild"), L"");
    EXPECT_EQ(plain.brandedProductName(), L"Lisquen 3");

    EXPECT_EQ(special.displayName(), L"Kelvane und Lisquen 3.1 beta \u2013 Private \u2013 Debug");
    tw::SetLanguage(tw::language::french);
    EXPECT_EQ(special.brandedProductName(), L"Kelvane und Kelvane");
    EXPECT_EQ(special.displayName(),
              L"Kelvane und Kelvane 3.1 b\u00EAta \u2013 Private \u2013 Debug");
    tw::SetLanguage(tw::language::english);
    EXPECT_EQ(special.displayName(), L"Kelvane und Kelvane 3.1 beta \u2013 Private \u2013 Debug");
    tw::setProductCode(0x203);
    tw::SetLanguage(tw::language::german);
    EXPECT_EQ(plain.brandedProductName(), L"Kelvane 3");
    tw::setProductCode(0x103);
    tw::SetLanguage(tw::language::english);
}

TEST(VersionInfo, UnicodeTranslationAndFlagsOfCompiledResources) {
    const tw::VersionInfo special = borrowed(2);
    EXPECT_EQ(special.translations(), std::vector<std::wstring>{L"040704b0"});
    EXPECT_EQ(special.productName(), L"Kelvane und Kelvane");
    EXPECT_EQ(special.productVersion(), L"3.1 b\u00EAta");
    EXPECT_EQ(special.stringValue(L"Comments"), L"");
    EXPECT_EQ(special.fileFlags(), 0x0Bu);
    EXPECT_EQ(special.fileVersion(), 0x0003000100000007ull);

    const tw::VersionInfo plain = borrowed(3);
    EXPECT_EQ(plain.fileFlags(), 0u);
    EXPECT_EQ(plain.displayName(), L"Kelvane 3 3.00g");
}

TEST(VersionInfo, OwnModuleIsTheInstallersResource) {
    const tw::VersionInfo own = tw::VersionInfo::fromOwnModule();
    EXPECT_EQ(own.data(), ownResource(1).first) << "borrowed from the loaded image";
    EXPECT_EQ(tw::VersionInfo::fromOwnModule().data(), own.data());
    EXPECT_EQ(own.displayName(), L"Install 2.04a");
    EXPECT_EQ(own.productName(), L"Install");
    EXPECT_EQ(own.productVersion(), L"2.04a");
    EXPECT_EQ(own.legalNotice(), L"Copyright (C) 2004-2026 Tarnwick");
    EXPECT_EQ(own.stringValue(L"ApplicationId"), L"Kelvane3");
    EXPECT_EQ(own.translations(), std::vector<std::wstring>{L"040004b0"});
    EXPECT_EQ(own.fileVersion(), 0x0002000400010001ull);
    EXPECT_EQ(own.fileFlags(), 0u);
    ASSERT_TRUE(own.fixedInfo());
    EXPECT_EQ(own.fixedInfo()->fileFlagsMask, 0x3Fu);
}

TEST(VersionInfo, InstallerFileOfThisBuild) {
    const tw::VersionInfo installer = tw::VersionInfo::fromFile(installerPath());
    ASSERT_GT(installer.size(), 0u) << "no version information in the installer";
    EXPECT_EQ(installer.displayName(), L"Install 2.04a");
    EXPECT_EQ(installer.stringValue(L"ApplicationId"), L"Kelvane3");
    EXPECT_EQ(installer.stringValue(L"FileDescription"), L"Installeur Kelvane 3.00g");
    EXPECT_EQ(installer.stringValue(L"OriginalFilename"), L"InstallKelvane3.00g.exe");
    EXPECT_EQ(installer.stringValue(L"CompanyName"), L"Tarnwick");
    EXPECT_EQ(installer.fileVersion(), 0x0002000400010001ull);
}

TEST(VersionInfo, FilesWithoutVersionInformation) {
    testing_support::ScratchFolder folder(L"version-info");
    const std::wstring text = folder / L"plain.txt";
    std::ofstream(text.c_str()) << "no version here";
    for (const std::wstring& path : {text, folder / L"missing.exe"}) {
        const tw::VersionInfo info = tw::VersionInfo::fromFile(path);
        EXPECT_EQ(info.size(), 0u);
        EXPECT_FALSE(info.fixedInfo());
        EXPECT_EQ(info.fileVersion(), 0u);
        EXPECT_EQ(info.fileFlags(), 0u);
        EXPECT_EQ(info.productName(), L"");
        EXPECT_EQ(info.displayName(), L"");
    }
}

TEST(VersionInfo, MovedValueKeepsItsData) {
    tw::VersionInfo installer = tw::VersionInfo::fromFile(installerPath());
    const std::uint8_t* data = installer.data();
    tw::VersionInfo moved = std::move(installer);
    EXPECT_EQ(moved.data(), data);
    EXPECT_EQ(moved.productName(), L"Install");
}

TEST(ApplicationIdentity, FromTheOwnResource) {
    tw::details::deriveApplicationId();
    EXPECT_EQ(tw::applicationId(), L"Kelvane3");
    EXPECT_EQ(tw::applicationNameFallback(), L"Install 2.04a");
}

// The decoder against the system's VerQueryValueW on the same bytes: found
// or not, where the value starts, and its length.
void expectAgreement(Bytes& buffer, const std::wstring& subBlock, const std::string& source) {
    void* pointer = nullptr;
    UINT length = 0;
    const bool found = testing_support::systemVersionValue(buffer, subBlock, &pointer, &length);
    const auto ours = tw::queryVersionValue(buffer, subBlock);
    ASSERT_EQ(ours.has_value(), found)
        << source << " " << std::string(subBlock.begin(), subBlock.end());
    if (ours) {
        EXPECT_EQ(ours->offset,
                  static_cast<std::size_t>(static_cast<std::uint8_t*>(pointer) - buffer.data()))
            << source;
        EXPECT_EQ(ours->length, length) << source;
    }
}

std::vector<std::wstring> systemTranslations(Bytes& buffer, bool unicodeOnly) {
    WORD* table = nullptr;
    UINT length = 0;
    std::vector<std::wstring> keys;
    if (!testing_support::systemVersionValue(buffer, L"\\VarFileInfo\\Translation",
                                             reinterpret_cast<void**>(&table), &length)) {
        return keys;
    }
    for (UINT i = 0; i < length / 4; ++i) {
        if (unicodeOnly && table[2 * i + 1] != 1200) {
            continue;
        }
        wchar_t key[16];
        ::swprintf(key, 16, L"%04hx%04hx", table[2 * i], table[2 * i + 1]);
        keys.push_back(key);
    }
    return keys;
}

TEST(VersionDecoding, AgreesWithTheSystem) {
    std::vector<std::pair<std::string, Bytes>> resources{
        {"installer", testing_support::systemVersionInfo(installerPath())},
        {"own 1", ownResourceCopy(1)},
        {"own 2", ownResourceCopy(2)},
        {"own 3", ownResourceCopy(3)},
    };
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    for (const wchar_t* name : {L"kernel32.dll", L"user32.dll", L"comctl32.dll", L"shell32.dll"}) {
        Bytes bytes = testing_support::systemVersionInfo(std::wstring(system) + L"\\" + name);
        if (!bytes.empty()) {
            resources.emplace_back(std::string(name, name + std::wcslen(name)), std::move(bytes));
        }
    }
    // Wine's and Windows' own libraries carry resources of other compilers.
    EXPECT_GT(resources.size(), 4u) << "no version information in the system's libraries";
    const wchar_t* keys[] = {L"ProductName",      L"ProductVersion", L"FileVersion",
                             L"FileDescription",  L"CompanyName",    L"LegalCopyright",
                             L"OriginalFilename", L"InternalName",   L"ApplicationId",
                             L"SpecialBuild",     L"Comments",       L"productname",
                             L"Missing"};
    for (auto& [source, bytes] : resources) {
        ASSERT_FALSE(bytes.empty()) << source;
        for (const wchar_t* path :
             {L"\\", L"", L"\\VarFileInfo\\Translation", L"\\\\VarFileInfo\\\\Translation\\",
              L"\\varfileinfo\\translation", L"\\StringFileInfo", L"\\VarFileInfo\\Missing",
              L"\\Missing"}) {
            expectAgreement(bytes, path, source);
        }
        for (const std::wstring& translation : systemTranslations(bytes, false)) {
            for (const wchar_t* key : keys) {
                expectAgreement(bytes, L"\\StringFileInfo\\" + translation + L"\\" + key, source);
            }
        }
        const tw::VersionBlock block(bytes);
        EXPECT_EQ(block.translations(), systemTranslations(bytes, true)) << source;
    }
}

} // namespace
