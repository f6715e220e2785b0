#pragma once
// The process-wide interface language of the maker's library.
//
// STAND-IN: the foundation fixes the interface and the behaviour of a clean
// English machine; the language table, the locale handling and the default
// language rules replace it with the languages work.

#include <windows.h>
#include <cstdint>

namespace tw {

struct LanguageState {
    std::uint32_t availableMask = 1;
    std::int32_t languageIndex = 0;
    std::uint32_t lcid = 0;
    std::uint32_t codePage = 1252;
    HMODULE resourceModule = nullptr;
    bool rightToLeft = false;
};

// The state, created on first use.
LanguageState& CurrentLanguage();

// Makes a language index current.
void SetLanguage(std::int32_t index);

// The language of the user's default locale among those of the mask (0: the
// state's availableMask).
std::int32_t DefaultLanguage(std::uint32_t mask);

// Whether a language index is written right to left.
bool isRightToLeft(std::int32_t index);

// The module from which localised resources are loaded: the state's
// resourceModule, set to the executable when it is empty.
HMODULE resourceModule();

} // namespace tw
