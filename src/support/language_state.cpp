#include "support/language_state.h"

#include <array>
#include <clocale>
#include <locale>
#include <optional>
#include <stdexcept>

namespace tw {

namespace {

std::uint32_t lcidOf(std::int32_t index) {
    return languageLcid(index, ::GetUserDefaultLCID());
}

// The system's name of a locale ("de-DE"); empty when it has none.
std::wstring localeName(std::uint32_t locale) {
    std::array<wchar_t, LOCALE_NAME_MAX_LENGTH> name{};
    const int length = locale == userDefaultLocale
                           ? ::GetUserDefaultLocaleName(name.data(), LOCALE_NAME_MAX_LENGTH)
                           : ::LCIDToLocaleName(locale, name.data(), LOCALE_NAME_MAX_LENGTH, 0);
    return length > 1 ? std::wstring(name.data()) : std::wstring{};
}

std::wstring localeText(std::uint32_t locale, LCTYPE type) {
    std::array<wchar_t, 128> text{};
    const int length = ::GetLocaleInfoW(locale, type, text.data(), static_cast<int>(text.size()));
    return length > 1 ? std::wstring(text.data()) : std::wstring{};
}

// The C runtime's own form of a locale, "German_Germany.1252", for runtimes
// that do not take the system's locale names.
std::wstring runtimeLocaleName(std::uint32_t locale) {
    const std::wstring language = localeText(locale, LOCALE_SENGLISHLANGUAGENAME);
    const std::wstring country = localeText(locale, LOCALE_SENGLISHCOUNTRYNAME);
    const std::wstring codePage = localeText(locale, LOCALE_IDEFAULTANSICODEPAGE);
    if (language.empty() || country.empty() || codePage.empty()) {
        return {};
    }
    return language + L"_" + country + L"." + codePage;
}

void setRuntimeCategory(int category, const std::wstring& name, const std::wstring& fallback) {
    if (::_wsetlocale(category, name.c_str()) == nullptr && !fallback.empty()) {
        ::_wsetlocale(category, fallback.c_str());
    }
}

std::string narrow(const std::wstring& text) {
    std::string result;
    for (const wchar_t c : text) {
        result.push_back(static_cast<char>(c)); // locale names are ASCII
    }
    return result;
}

// The standard library's global locale: the classic one with the collation,
// character-type, monetary and time facets of the named locale, or the
// classic one alone when the library cannot build that locale.
std::locale globalLocaleFor(const std::wstring& name) {
    if (name.empty()) {
        return std::locale::classic();
    }
    try {
        const std::locale named(narrow(name));
        return std::locale(std::locale::classic(), named,
                           std::locale::collate | std::locale::ctype | std::locale::monetary |
                               std::locale::time);
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

// The locales of an index: the standard library's global locale, then the C
// runtime's categories. The global locale comes first because installing a
// named global locale also resets every runtime category to its name.
void applyLocales(std::int32_t index) {
    const std::uint32_t locale =
        namingLocale(index, ::GetUserDefaultLangID(), ::GetUserDefaultLCID());
    const std::wstring name = localeName(locale);
    std::locale::global(globalLocaleFor(name));

    ::_wsetlocale(LC_ALL, L"C");
    if (name.empty()) {
        return; // an unknown locale: "" would mean the user's default
    }
    const std::wstring fallback = runtimeLocaleName(locale);
    for (const int category : {LC_CTYPE, LC_COLLATE, LC_TIME, LC_MONETARY}) {
        setRuntimeCategory(category, name, fallback);
    }
}

std::uint32_t ansiCodePageOf(std::uint32_t lcid) {
    DWORD codePage = 0;
    const int length =
        ::GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                         reinterpret_cast<wchar_t*>(&codePage), sizeof codePage / sizeof(wchar_t));
    return length != 0 && codePage != 0 ? codePage : ::GetACP();
}

std::optional<std::uint32_t> fontSignatureWord3(std::uint32_t lcid) {
    LOCALESIGNATURE signature{};
    const int length =
        ::GetLocaleInfoW(lcid, LOCALE_FONTSIGNATURE, reinterpret_cast<wchar_t*>(&signature),
                         sizeof signature / sizeof(wchar_t));
    if (length == 0) {
        return std::nullopt;
    }
    return signature.lsUsb[3];
}

LanguageState createState() {
    LanguageState state;
    state.lcid = lcidOf(language::french);
    ::_configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
    applyLocales(language::french);
    ::SetThreadLocale(state.lcid);
    return state;
}

} // namespace

LanguageState& currentLanguage() {
    static LanguageState state = createState();
    return state;
}

void SetLanguage(std::int32_t index) {
    LanguageState& state = currentLanguage();
    const std::uint32_t lcid = lcidOf(index); // rejects an index outside the table
    if (index != state.languageIndex) {
        applyLocales(index);
    }
    state.languageIndex = index;
    state.lcid = lcid;
    state.codePage = ansiCodePageOf(lcid);
    state.resourceModule = nullptr;
    state.rightToLeft = rightToLeftFrom(fontSignatureWord3(lcid), index);
}

std::int32_t DefaultLanguage(std::uint32_t mask) {
    if (mask == 0) {
        mask = currentLanguage().availableMask;
    }
    return defaultLanguageFor(::GetUserDefaultLangID(), mask);
}

std::wstring nativeLanguageName(std::int32_t index) {
    std::wstring name = localeText(lcidOf(index), LOCALE_SNATIVELANGNAME);
    if (!name.empty()) {
        ::CharUpperBuffW(name.data(), 1);
    }
    return name;
}

bool isRightToLeft(std::int32_t index) {
    return rightToLeftFrom(fontSignatureWord3(lcidOf(index)), index);
}

HMODULE resourceModule() {
    LanguageState& state = currentLanguage();
    if (state.resourceModule == nullptr) {
        state.resourceModule = ::GetModuleHandleW(nullptr);
    }
    return state.resourceModule;
}

} // namespace tw
