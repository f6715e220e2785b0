#pragma once
// What the uninstaller tells the user, in the product language the user chose
// at installation (TwLanguage of the uninstall key) where the installed
// language module has the text, in English otherwise. Read once at the start,
// before the language modules are removed.

#include <string>

namespace uninstall {

struct Texts {
    std::wstring caption;
    std::wstring confirm;
    std::wstring closeProduct;
    std::wstring notAdministrator;
    std::wstring unreadableLog;
    std::wstring removed;
    std::wstring kept;
};

// The texts for the installation whose programs lie in programFolder (with
// its trailing backslash).
Texts loadTexts(const std::wstring& programFolder);

} // namespace uninstall
