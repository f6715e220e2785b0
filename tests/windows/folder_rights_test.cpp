#include "install/folder_rights.h"

#include "support/error.h"
#include "support/well_known_sid.h"
#include "test_support.h"

#include <sddl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A descriptor in memory from its SDDL form, freed with LocalFree.
tw::unique_hlocal descriptorOf(const std::wstring& sddl) {
    tw::unique_hlocal descriptor;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            sddl.c_str(), SDDL_REVISION_1,
            reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr)) {
        ADD_FAILURE() << "not a descriptor: " << testing::PrintToString(sddl);
    }
    return descriptor;
}

std::wstring daclText(PSECURITY_DESCRIPTOR descriptor) {
    tw::unique_hlocal text;
    if (!::ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
            reinterpret_cast<wchar_t**>(text.put()), nullptr)) {
        return L"(no text)";
    }
    return static_cast<const wchar_t*>(text.get());
}

struct GrantCase {
    const char* name;
    std::wstring old;
    std::uint32_t mask;
    std::uint32_t flags;
    std::wstring granted;
};

class GrantedDescriptorTest : public testing::TestWithParam<GrantCase> {};

TEST_P(GrantedDescriptorTest, ReplacesTheUsersEntriesBetweenExplicitAndInherited) {
    const tw::unique_hlocal old = descriptorOf(GetParam().old);
    ASSERT_TRUE(old);
    const tw::WellKnownSid users(tw::UsersSid);
    GrantedDescriptor granted(old.get(), users.get(), GetParam().mask, GetParam().flags);
    EXPECT_EQ(daclText(granted.get()), GetParam().granted);
}

constexpr std::uint32_t folderFlags = sharedFolderEntryFlags;

INSTANTIATE_TEST_SUITE_P(
    Descriptors, GrantedDescriptorTest,
    testing::Values(
        GrantCase{"ExplicitAndInheritedUsersEntriesGiveWayToOne",
                  L"D:AI(A;;FA;;;SY)(A;;FR;;;BU)(A;ID;FR;;;BU)(A;OICIID;FA;;;BA)",
                  sharedFolderAccess, folderFlags,
                  L"D:ARAI(A;;FA;;;SY)(A;OICI;FA;;;BU)(A;OICIID;FA;;;BA)"},
        GrantCase{"DenyEntryOfAnotherSidKeepsItsPlace",
                  L"D:(A;;FA;;;SY)(D;;FW;;;WD)(A;;FR;;;BU)(A;;FA;;;BA)(A;ID;FA;;;SY)",
                  dataFileAccess, 0,
                  L"D:(A;;FA;;;SY)(D;;FW;;;WD)(A;;FA;;;BA)(A;;0x13019f;;;BU)(A;ID;FA;;;SY)"},
        GrantCase{"OnlyInheritedEntries", L"D:AI(A;ID;FR;;;BU)(A;ID;FA;;;SY)", dataFileAccess, 0,
                  L"D:ARAI(A;;0x13019f;;;BU)(A;ID;FA;;;SY)"},
        GrantCase{"NoDacl", L"O:SY", sharedFolderAccess, folderFlags, L"D:(A;OICI;FA;;;BU)"},
        GrantCase{"NullDacl", L"D:NO_ACCESS_CONTROL", sharedFolderAccess, folderFlags,
                  L"D:(A;OICI;FA;;;BU)"},
        GrantCase{"EmptyDacl", L"D:", dataFileAccess, 0, L"D:(A;;0x13019f;;;BU)"},
        GrantCase{"ProtectedStaysProtected", L"D:P(A;;FA;;;SY)", dataFileAccess, 0,
                  L"D:P(A;;FA;;;SY)(A;;0x13019f;;;BU)"},
        GrantCase{"ProtectedAndAutoInheritedKeepBoth", L"D:PAI(A;;FA;;;SY)(A;;FA;;;BU)",
                  sharedFolderAccess, folderFlags, L"D:PARAI(A;;FA;;;SY)(A;OICI;FA;;;BU)"}),
    [](const testing::TestParamInfo<GrantCase>& param) { return param.param.name; });

TEST(GrantAccess, MissingObjectRaisesItsErrorValue) {
    const testing_support::ScratchFolder scratch(L"GrantAccessMissing");
    try {
        GrantAccess(scratch / L"missing.dat", dataFileAccess, 0);
        FAIL() << "no error raised";
    } catch (const tw::error& failure) {
        EXPECT_EQ(failure.code(), tw::hresultFromWin32(ERROR_FILE_NOT_FOUND));
    }
}

TEST(GrantAccess, WritesTheDaclOfAnExistingFile) {
    const testing_support::ScratchFolder scratch(L"GrantAccessFile");
    const std::wstring file = scratch / L"data.dat";
    std::ofstream(std::filesystem::path(file)) << "data";
    ASSERT_NO_THROW(GrantAccess(file, dataFileAccess, 0));
    ASSERT_NO_THROW(GrantAccess(file, dataFileAccess, 0)) << "granting again";
    if (testing_support::runningUnderWine()) {
        // Wine keeps no DACL on a file: it answers with one rebuilt from the
        // Unix mode bits. The end-to-end scenario reads what was written from
        // the Wine server's trace instead.
        return;
    }
    DWORD size = 0;
    ::GetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<BYTE> descriptor(size);
    ASSERT_TRUE(::GetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size,
                                   &size));
    const std::wstring dacl = daclText(descriptor.data());
    const std::wstring entry = L"(A;;0x13019f;;;BU)";
    EXPECT_NE(dacl.find(entry), std::wstring::npos) << testing::PrintToString(dacl);
    EXPECT_EQ(dacl.find(L";BU)"), dacl.find(entry) + entry.size() - 4) << "one entry for Users";
}

} // namespace
