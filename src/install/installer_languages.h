#pragma once
// The installer's languages: those the product runs in, those the installer's
// own texts are translated into, their flags, and the rule that picks the
// string to load for a base id with its fallbacks.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// Bit 1 << index for each language the product runs in.
constexpr std::uint32_t ProductLanguages = 0x88A9F;

// The product languages in the order of the Start page's list: French,
// English, German, Spanish, Italian, Portuguese, Polish, Turkish, Romanian,
// Hungarian.
constexpr std::array<std::int32_t, 10> StartPageLanguages{0, 1, 2, 3, 11, 4, 15, 7, 9, 19};

// Whether the product runs in a language. Takes any number, so that a stored
// preference can be checked as it is read: only 0-20 can be one.
bool IsProductLanguage(std::int64_t index) noexcept;

// Whether the installer's texts are translated into a language.
bool HasInstallerTexts(std::int64_t index) noexcept;

// The icon resource of a language's flag (141-162). Throws std::out_of_range
// for an index outside the language table.
int flagIcon(std::int32_t index);

// The string id to load for a base id while languageIndex is current: the
// current language's entry, else the English one, else the French (base) one;
// an entry counts as missing only when it is exactly "#". French, when
// current, is never checked. loadText gives the text stored under an id
// (empty when there is none).
int textIdFor(int base, std::int32_t languageIndex,
              const std::function<std::wstring(int id)>& loadText);
