#pragma once
// The process-wide interface language of the maker's library: which of the
// languages of the language table is current, with its locale, code page and
// reading order, and the runtime locales that follow it.

#include "support/language_table.h"

#include <windows.h>
#include <cstdint>
#include <string>

namespace tw {

struct LanguageState {
    // Bit 1 << index for each language offered by default; the mask of
    // DefaultLanguage(0).
    std::uint32_t availableMask = 1;
    std::int32_t languageIndex = 0;
    // The user's default LCID when its language part is the current
    // language's identifier, otherwise that identifier.
    std::uint32_t lcid = 0;
    // The ANSI code page of the current language.
    std::uint32_t codePage = 1252;
    // The library's cache slot for the module of localised resources; cleared
    // on every language change.
    HMODULE resourceModule = nullptr;
    bool rightToLeft = false;
};

// The state, created on first use (thread-safe): French, with the runtime's
// locale settings made process-wide, the French locales applied and the
// thread locale set to French's lcid.
LanguageState& currentLanguage();

// Makes a language index current: applies its runtime locales when it differs
// from the current one, then sets lcid, codePage and rightToLeft and clears
// resourceModule. Throws std::out_of_range for an index outside the table.
void SetLanguage(std::int32_t index);

// The language of the user's default language identifier among those of the
// mask (0: the state's availableMask); else English when the mask has it,
// else French.
std::int32_t DefaultLanguage(std::uint32_t mask);

// The language's own name as the system gives it, its first letter in upper
// case ("Français", "Deutsch"); empty when the system does not know the locale.
std::wstring nativeLanguageName(std::int32_t index);

// Whether a language index is written right to left: by its locale's font
// signature, or, when that cannot be read, for Hebrew alone.
bool isRightToLeft(std::int32_t index);

// The module from which localised resources are loaded: the state's
// resourceModule, set to the executable when it is empty.
HMODULE resourceModule();

} // namespace tw
