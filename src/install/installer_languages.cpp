#include "install/installer_languages.h"

#include "res/resource.h"

#include <stdexcept>
#include "support/language_table.h"

namespace {

// Bit 1 << index for each language the installer's texts are translated into.
constexpr std::uint32_t installerTextLanguages = 0x81A9F;

constexpr std::array<int, tw::languageCount> flagIcons{
    IDI_FLAG_FRENCH,     IDI_FLAG_ENGLISH,    IDI_FLAG_GERMAN,   IDI_FLAG_SPANISH,
    IDI_FLAG_PORTUGUESE, IDI_FLAG_DUTCH,      IDI_FLAG_DANISH,   IDI_FLAG_TURKISH,
    IDI_FLAG_BULGARIAN,  IDI_FLAG_ROMANIAN,   IDI_FLAG_CHINESE,  IDI_FLAG_ITALIAN,
    IDI_FLAG_CZECH,      IDI_FLAG_NORWEGIAN,  IDI_FLAG_GREEK,    IDI_FLAG_POLISH,
    IDI_FLAG_HEBREW,     IDI_FLAG_VIETNAMESE, IDI_FLAG_JAPANESE, IDI_FLAG_HUNGARIAN,
    IDI_FLAG_SERBIAN};

constexpr bool inMask(std::uint32_t mask, std::int64_t index) noexcept {
    return tw::isLanguageIndex(index) && (mask & (1u << index)) != 0;
}

const std::wstring untranslated = L"#";

} // namespace

bool IsProductLanguage(std::int64_t index) noexcept {
    return inMask(ProductLanguages, index);
}

bool HasInstallerTexts(std::int64_t index) noexcept {
    return inMask(installerTextLanguages, index);
}

int flagIcon(std::int32_t index) {
    if (!tw::isLanguageIndex(index)) {
        throw std::out_of_range("language index");
    }
    return flagIcons[static_cast<std::size_t>(index)];
}

int textIdFor(int base, std::int32_t languageIndex,
              const std::function<std::wstring(int id)>& loadText) {
    std::int32_t index = languageIndex;
    if (HasInstallerTexts(index)) {
        if (index == tw::language::french) {
            return base;
        }
    } else {
        index = tw::language::english;
    }
    const int candidate = base + tw::languageTextOffset(index);
    if (loadText(candidate) != untranslated) {
        return candidate;
    }
    if (index == tw::language::english) {
        return base;
    }
    const int english = base + tw::languageTextOffset(tw::language::english);
    return loadText(english) != untranslated ? english : base;
}
