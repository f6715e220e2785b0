#pragma once
// What the uninstaller tells the user, in the product language the user chose
// at installation (TwLanguage of the uninstall key) where the installed
// language module has the text, in English otherwise. Read once at the start,
// before the language modules are removed.

#include <cstdint>
#include <string>
#include <vector>

namespace uninstall {

struct Texts {
    std::wstring caption;
    std::wstring confirm;
    std::wstring closeProduct;
    std::wstring notAdministrator;
    std::wstring unreadableLog;
    std::wstring removed;
    std::wstring kept;
    std::wstring links;
    std::wstring notRemoved;
};

// The texts for the installation whose programs lie in programFolder (with
// its trailing backslash).
Texts loadTexts(const std::wstring& programFolder);

// Shows text in a message box without owner (the uninstaller has no window)
// under caption, with the buttons and icon of style; returns the button
// pressed. The texts come in the installation's language (loadTexts), not
// through the maker's library's language state, which the library's message
// box would create, and link, with the standard library's locales.
int showText(const std::wstring& caption, const std::wstring& text, std::uint32_t style);

// The heading, then each path on a line of its own.
std::wstring listText(const std::wstring& heading, const std::vector<std::wstring>& paths);

} // namespace uninstall
