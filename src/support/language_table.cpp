#include "support/language_table.h"

#include <array>
#include <stdexcept>

namespace tw {

namespace {

struct LanguageRow {
    std::uint16_t langId;
    // The primary language of a user's language identifier that maps here.
    std::uint16_t primaryLanguage;
    std::int32_t textOffset;
};

// Indexed by language index. The text blocks are not in index order: Italian
// (11) has block 6000 and Chinese (10) block 10000.
constexpr std::array<LanguageRow, languageCount> rows{{
    {1036, 0x0C, 0},     // French
    {1033, 0x09, 1000},  // English
    {1031, 0x07, 2000},  // German
    {3082, 0x0A, 3000},  // Spanish
    {2070, 0x16, 4000},  // Portuguese
    {1043, 0x13, 6000},  // Dutch
    {1030, 0x06, 7000},  // Danish
    {1055, 0x1F, 8000},  // Turkish
    {1026, 0x02, 10000}, // Bulgarian
    {1048, 0x18, 11000}, // Romanian
    {2052, 0x04, 9000},  // Chinese (simplified)
    {1040, 0x10, 5000},  // Italian
    {1029, 0x05, 12000}, // Czech
    {1044, 0x14, 13000}, // Norwegian
    {1032, 0x08, 14000}, // Greek
    {1045, 0x15, 15000}, // Polish
    {1037, 0x0D, 16000}, // Hebrew
    {1066, 0x2A, 17000}, // Vietnamese
    {1041, 0x11, 18000}, // Japanese
    {1038, 0x0E, 19000}, // Hungarian
    {2074, 0x1A, 20000}, // Serbian (Latin)
}};

constexpr std::int32_t chinese = 10;
constexpr std::uint16_t primaryChinese = 0x04;

constexpr std::uint16_t primaryOf(std::uint32_t langId) noexcept {
    return static_cast<std::uint16_t>(langId & 0x3FF);
}
constexpr std::uint16_t subLanguageOf(std::uint16_t langId) noexcept {
    return static_cast<std::uint16_t>(langId >> 10);
}
constexpr std::uint16_t langIdOfLcid(std::uint32_t lcid) noexcept {
    return static_cast<std::uint16_t>(lcid & 0xFFFF);
}

const LanguageRow& row(std::int32_t index) {
    if (!isLanguageIndex(index)) {
        throw std::out_of_range("language index");
    }
    return rows[static_cast<std::size_t>(index)];
}

std::optional<std::int32_t> indexOfUserLanguage(std::uint16_t userLangId) {
    const std::uint16_t primary = primaryOf(userLangId);
    if (primary == primaryChinese) {
        const std::uint16_t sub = subLanguageOf(userLangId);
        if (sub == 2 || sub == 4) {
            return chinese;
        }
        return std::nullopt;
    }
    for (std::int32_t index = 0; index < languageCount; ++index) {
        if (rows[static_cast<std::size_t>(index)].primaryLanguage == primary) {
            return index;
        }
    }
    return std::nullopt;
}

constexpr bool inMask(std::uint32_t mask, std::int32_t index) noexcept {
    return (mask & (1u << index)) != 0;
}

} // namespace

std::uint16_t languageLangId(std::int32_t index) {
    return row(index).langId;
}

std::int32_t languageTextOffset(std::int32_t index) {
    return row(index).textOffset;
}

std::int32_t defaultLanguageFor(std::uint16_t userLangId, std::uint32_t mask) {
    if (const auto index = indexOfUserLanguage(userLangId); index && inMask(mask, *index)) {
        return *index;
    }
    return inMask(mask, language::english) ? language::english : language::french;
}

std::uint32_t languageLcid(std::int32_t index, std::uint32_t userLcid) {
    const std::uint16_t langId = languageLangId(index);
    return langIdOfLcid(userLcid) == langId ? userLcid : langId;
}

std::uint32_t namingLocale(std::int32_t index, std::uint16_t userLangId, std::uint32_t userLcid) {
    const std::uint16_t langId = languageLangId(index);
    if (primaryOf(langId) == primaryOf(userLangId)) {
        return userDefaultLocale;
    }
    return languageLcid(index, userLcid);
}

bool rightToLeftFrom(const std::optional<std::uint32_t>& fontSignatureWord3,
                     std::int32_t index) noexcept {
    constexpr std::uint32_t rightToLeftLayout = 1u << 27;
    if (fontSignatureWord3) {
        return (*fontSignatureWord3 & rightToLeftLayout) != 0;
    }
    return index == language::hebrew;
}

} // namespace tw
