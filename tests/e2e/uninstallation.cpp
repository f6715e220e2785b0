#include "uninstallation.h"

#include "driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace e2e {

bool deletedAtStartUp(const std::wstring& path) {
    const std::optional<RegistryValue> pending =
        registryValue(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                      L"PendingFileRenameOperations");
    if (!pending) {
        return false;
    }
    const std::wstring names(reinterpret_cast<const wchar_t*>(pending->data.data()),
                             pending->data.size() / sizeof(wchar_t));
    return names.find(L"\\??\\" + path + std::wstring(1, L'\0') + std::wstring(1, L'\0')) !=
           std::wstring::npos;
}

std::wstring uninstallString() {
    const std::optional<RegistryValue> value =
        registryValue(HKEY_LOCAL_MACHINE, productUninstallKey, L"UninstallString");
    if (!value || value->type != REG_SZ) {
        ADD_FAILURE() << "no UninstallString";
        return {};
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(value->data.data()),
                      value->data.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

DWORD uninstallConfirmed(const std::vector<std::wstring>& kept,
                         const std::vector<std::wstring>& links) {
    Installer uninstaller(uninstallString());
    const ShownMessage asked = waitForMessageBox(uninstaller.id(), {});
    EXPECT_EQ(asked.caption, uninstallCaption);
    EXPECT_EQ(asked.text, uninstallQuestion);
    EXPECT_EQ(asked.buttons, (std::vector<int>{IDYES, IDNO}));
    answer(asked, IDYES);
    const ShownMessage done = waitForMessageBox(uninstaller.id(), {asked.window});
    std::wstring expected = uninstallDone;
    if (!kept.empty()) {
        expected += L"\r\n\r\nThese files were changed after the installation and were kept:";
        for (const std::wstring& path : kept) {
            expected += L"\r\n" + path;
        }
    }
    if (!links.empty()) {
        expected += L"\r\n\r\nThese folders were replaced by links after the installation and "
                    L"were left as they are:";
        for (const std::wstring& path : links) {
            expected += L"\r\n" + path;
        }
    }
    EXPECT_EQ(done.text, expected);
    const DWORD id = uninstaller.id();
    answer(done, IDOK);
    EXPECT_EQ(uninstaller.waitForExit(), std::optional<DWORD>(0));
    waitForItsChildren(id);
    return id;
}

std::vector<std::wstring> changesButTheCopy(const MachineState& before, const MachineState& after) {
    std::vector<std::wstring> changes = differences(before, after);
    const std::wstring prefix = L"+ " + temporaryFolder() + L"\\kvu";
    std::vector<std::wstring> copy; // the folder, then the program in it
    std::erase_if(changes, [&](const std::wstring& line) {
        if (!line.starts_with(prefix)) {
            return false;
        }
        copy.push_back(line.substr(2, line.find(L": ") - 2));
        return true;
    });
    if (copy.size() != 2 || copy[1] != copy[0] + L"\\Uninstall.exe") {
        ADD_FAILURE() << "no copy of the uninstaller in a folder of its own";
        return changes;
    }
    for (const std::wstring& path : copy) {
        EXPECT_TRUE(deletedAtStartUp(path)) << path;
    }
    return changes;
}

} // namespace e2e
