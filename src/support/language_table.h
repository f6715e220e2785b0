#pragma once
// The languages the maker's products speak, by language index (0-20), and the
// rules that map the user's Windows language onto them. No Windows call here:
// the user's language and locale identifiers are inputs.

#include <cstdint>
#include <optional>

namespace tw {

constexpr std::int32_t languageCount = 21;

namespace language {
constexpr std::int32_t french = 0;
constexpr std::int32_t english = 1;
constexpr std::int32_t german = 2;
constexpr std::int32_t czech = 12;
constexpr std::int32_t polish = 15;
constexpr std::int32_t hebrew = 16;
} // namespace language

// LOCALE_USER_DEFAULT: the user's default locale, whatever its identifier.
constexpr std::uint32_t userDefaultLocale = 0x0400;

// Whether an index names a language of the table.
constexpr bool isLanguageIndex(std::int64_t index) noexcept {
    return index >= 0 && index < languageCount;
}

// The Windows language identifier of an index (1036 for French, ...).
// Throws std::out_of_range for an index outside the table.
std::uint16_t languageLangId(std::int32_t index);

// The distance of the language's block of texts from the base ids (French +0,
// English +1000, ...). Throws std::out_of_range for an index outside the table.
std::int32_t languageTextOffset(std::int32_t index);

// The language of the user's default language identifier when its bit is in
// the mask; otherwise English when English is in the mask, else French.
// Chinese counts only with sub-language 2 or 4 (simplified).
std::int32_t defaultLanguageFor(std::uint16_t userLangId, std::uint32_t mask);

// The locale identifier of an index: the user's default LCID when its language
// part is the index's language identifier, else that language identifier.
std::uint32_t languageLcid(std::int32_t index, std::uint32_t userLcid);

// Which locale names the runtime locales of an index: userDefaultLocale when
// the index's primary language is the user's, else the user's LCID when its
// language part is the index's language identifier, else that identifier.
std::uint32_t namingLocale(std::int32_t index, std::uint16_t userLangId, std::uint32_t userLcid);

// Whether a language is written right to left: bit 123 of the locale's
// Unicode font signature (bit 27 of its fourth word) when the signature could
// be read, else true for Hebrew alone.
bool rightToLeftFrom(const std::optional<std::uint32_t>& fontSignatureWord3,
                     std::int32_t index) noexcept;

} // namespace tw
