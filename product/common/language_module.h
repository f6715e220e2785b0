#pragma once
// The product's language modules, Lang\Kelvane.xx.dll beside its programs:
// resource-only DLLs that carry the texts of one language each. English is
// in the programs themselves.

#include <windows.h>

#include <string>

namespace kelvane {

// The folder of the running program (tw::programPath), with its trailing
// backslash.
std::wstring ownFolder();

// A string resource of a module; empty when it has none of that id.
std::wstring loadString(HMODULE module, UINT id);

// The text of that id in the language module for the primary language
// (LANG_FRENCH, ...) in the Lang folder below programFolder (with its
// trailing backslash); empty when the product has no module of that
// language, the module is missing or lacks the text.
std::wstring languageText(const std::wstring& programFolder, WORD primaryLanguage, UINT id);

} // namespace kelvane
