#include "common/language_module.h"

#include "support/path_text.h"
#include "support/program_path.h"
#include "support/unique_resource.h"

namespace kelvane {

namespace {

struct Module {
    WORD primary;
    const wchar_t* code;
};

constexpr Module modules[] = {
    {LANG_FRENCH, L"fr"},     {LANG_GERMAN, L"de"},  {LANG_SPANISH, L"es"},
    {LANG_PORTUGUESE, L"pt"}, {LANG_ITALIAN, L"it"}, {LANG_TURKISH, L"tr"},
    {LANG_ROMANIAN, L"ro"},   {LANG_POLISH, L"pl"},  {LANG_HUNGARIAN, L"hu"}};

} // namespace

std::wstring ownFolder() {
    const std::wstring path = tw::programPath();
    return path.substr(0, path.size() - tw::fileName(path).size());
}

std::wstring loadString(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

std::wstring languageText(const std::wstring& programFolder, WORD primaryLanguage, UINT id) {
    for (const Module& module : modules) {
        if (module.primary != primaryLanguage) {
            continue;
        }
        const std::wstring path = programFolder + L"Lang\\Kelvane." + module.code + L".dll";
        const tw::unique_hmodule language(::LoadLibraryExW(
            path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        return language ? loadString(language.get(), id) : std::wstring();
    }
    return {};
}

} // namespace kelvane
