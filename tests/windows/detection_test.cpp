// The detection of an earlier installation against real files, version
// resources and a scratch uninstall key: where the earlier log is found, and
// what the session takes over for each installed version.
#include "app/detection.h"

#include "app/install_app.h"
#include "app/process_start.h"
#include "install/log_format.h"
#include "install/product.h"
#include "support/library_init.h"
#include "file_contents.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testing_support::ScratchFolder;
using testing_support::ScratchKey;
using testing_support::writeFile;

constexpr wchar_t scratchUninstall[] = L"Software\\kv-test-detection\\Uninstall";
const UninstallKeyLocation scratchKeys{HKEY_CURRENT_USER, scratchUninstall};

enum class UninstallValue { String, Missing, NotAString };

std::wstring ownProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

class Detection : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(checkProcessor());
        ASSERT_TRUE(tw::details::initialize_mfc_lib());
        // The application object sets it; the log search needs it without one.
        tw::setProductCode(product::code);
    }

    void SetUp() override {
        for (const wchar_t* folder :
             {L"uninstall", L"setup", L"program", L"Earlier Folder", L"Earlier Menu"}) {
            std::filesystem::create_directories(scratch / folder);
        }
    }

    // The product's uninstall key below the scratch key, naming the
    // uninstaller of the "uninstall" folder as an installation writes it.
    void registerUninstaller(UninstallValue kind) {
        if (kind == UninstallValue::Missing) {
            return;
        }
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (keys.path() + L"\\Kelvane 3").c_str(), 0,
                                    nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::wstring text = scratch / L"uninstall\\Uninstall.exe";
        const DWORD number = 1;
        const LSTATUS status =
            kind == UninstallValue::String
                ? ::RegSetValueExW(key, L"UninstallString", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)))
                : ::RegSetValueExW(key, L"UninstallString", 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&number), sizeof number);
        ::RegCloseKey(key);
        ASSERT_EQ(status, ERROR_SUCCESS);
    }

    // An earlier log in that folder naming the two "Earlier" folders.
    std::wstring placeLog(const std::wstring& folder) {
        LogEntry program;
        program.kind = LogKind::File;
        program.path = scratch / L"Earlier Folder\\Kelvane.exe";
        program.done = true;
        program.value = 1;
        LogEntries entries;
        entries.push_back(program);
        const std::vector<std::uint8_t> bytes = encodeLog(
            {L"Kelvane 3.00e", {}, scratch / L"Earlier Folder", scratch / L"Earlier Menu"},
            entries);
        const std::wstring path = scratch / (folder + L"\\Uninstall.ulog");
        writeFile(path, bytes);
        return path;
    }

    std::wstring findLog() const {
        return findEarlierLog(scratchKeys, scratch / L"setup\\InstallKelvane3.00g.exe",
                              scratch / L"program\\Kelvane.exe");
    }

    ScratchFolder scratch{L"detection"};
    ScratchKey keys{HKEY_CURRENT_USER, scratchUninstall};
};

TEST_F(Detection, EarlierLogIsTheFirstCandidateThatIsAFile) {
    struct Case {
        UninstallValue uninstallString;
        std::vector<std::wstring> logsIn;
        std::wstring foundIn; // empty: none
    };
    const Case cases[] = {
        {UninstallValue::String, {L"uninstall", L"setup", L"program"}, L"uninstall"},
        {UninstallValue::String, {L"setup", L"program"}, L"setup"},
        {UninstallValue::String, {L"program"}, L"program"},
        {UninstallValue::String, {}, L""},
        // Without a readable "UninstallString" its folder is not looked in.
        {UninstallValue::Missing, {L"uninstall", L"program"}, L"program"},
        {UninstallValue::NotAString, {L"uninstall", L"program"}, L"program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.logsIn) + " found in " +
                     testing::PrintToString(c.foundIn));
        ScratchKey fresh{HKEY_CURRENT_USER, scratchUninstall};
        for (const wchar_t* folder : {L"uninstall", L"setup", L"program"}) {
            std::filesystem::remove(scratch / (std::wstring(folder) + L"\\Uninstall.ulog"));
        }
        registerUninstaller(c.uninstallString);
        for (const std::wstring& folder : c.logsIn) {
            placeLog(folder);
        }
        EXPECT_EQ(findLog(), c.foundIn.empty() ? L"" : scratch / (c.foundIn + L"\\Uninstall.ulog"));
    }
}

TEST_F(Detection, AFolderNamedLikeTheLogIsPassedOver) {
    registerUninstaller(UninstallValue::String);
    std::filesystem::create_directories(scratch / L"uninstall\\Uninstall.ulog");
    std::filesystem::create_directories(scratch / L"setup\\Uninstall.ulog");
    const std::wstring log = placeLog(L"program");
    EXPECT_EQ(findLog(), log);
}

TEST_F(Detection, SessionFollowsTheInstalledProgram) {
    struct Case {
        const char* name;
        std::optional<std::uint64_t> version; // none: a file without version resource
        const wchar_t* productVersion;
        bool registered;
        bool logPresent;
        ExistingState state;
        std::wstring versionText;
        std::uint64_t existingVersion;
        bool foldersTaken;
    };
    const Case cases[] = {
        {"nothing registered", 0x0003000000050000ull, L"3.00e", false, true, NotInstalled, L"", 0,
         false},
        {"no version resource", std::nullopt, L"", true, true, SameInstalled, L"", 0, true},
        {"same", 0x0003000000070001ull, L"3.00g", true, true, SameInstalled, L"", 0, true},
        {"same without log", 0x0003000000070001ull, L"3.00g", true, false, SameInstalled, L"", 0,
         false},
        {"older", 0x0003000000050000ull, L"3.00e", true, true, OlderInstalled, L"Install 3.00e",
         0x0003000000050000ull, true},
        {"newer", 0x0003000100000000ull, L"3.10a", true, true, NewerInstalled, L"Install 3.10a", 0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring program = scratch / L"program\\Kelvane.exe";
        ::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove(program);
        std::filesystem::remove(scratch / L"program\\Uninstall.ulog");
        if (c.version) {
            // This test program carries the installer's version resource.
            ASSERT_TRUE(::CopyFileW(ownProgram().c_str(), program.c_str(), FALSE));
            testing_support::setProgramVersion(program, *c.version, c.productVersion);
        } else {
            writeFile(program, "not a program");
        }
        if (c.logPresent) {
            placeLog(L"program");
        }

        CInstallApp app;
        app.previousLog = UninstallLog(scratchKeys);
        detectExistingInstallation(app, c.registered ? program : L"",
                                   scratch / L"setup\\InstallKelvane3.00g.exe");
        EXPECT_EQ(app.existingState, c.state);
        EXPECT_EQ(app.existingVersionText, c.versionText);
        EXPECT_EQ(app.existingVersion, c.existingVersion);
        if (c.foldersTaken) {
            EXPECT_EQ(app.installFolder, scratch / L"Earlier Folder");
            EXPECT_EQ(app.shortcutFolder, scratch / L"Earlier Menu");
            EXPECT_EQ(app.previousLog.previousLabel, L"Kelvane 3.00e");
            ASSERT_EQ(app.previousLog.oldEntries.size(), 1u);
            EXPECT_EQ(app.previousLog.oldEntries.front().path,
                      scratch / L"Earlier Folder\\Kelvane.exe");
        } else {
            EXPECT_EQ(app.installFolder, L"");
            EXPECT_EQ(app.shortcutFolder, L"");
            EXPECT_EQ(app.previousLog.previousLabel, L"");
            EXPECT_TRUE(app.previousLog.oldEntries.empty());
        }
    }
}

} // namespace
