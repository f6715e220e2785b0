#include "common/language_module.h"

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

std::wstring ownPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ownFolder() {
    const std::wstring path = ownPath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
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
