#include "payload/archive_entry.h"

#include <array>

namespace payload {

namespace {

wchar_t upper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool equalsUpper(std::wstring_view text, std::wstring_view upperCase) {
    if (text.size() != upperCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (upper(text[i]) != upperCase[i]) {
            return false;
        }
    }
    return true;
}

// Windows maps these names to devices in any folder, with any extension.
bool isDeviceName(std::wstring_view name) {
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') {
        stem.remove_suffix(1);
    }
    constexpr std::array<std::wstring_view, 4> fixed = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const std::wstring_view device : fixed) {
        if (equalsUpper(stem, device)) {
            return true;
        }
    }
    if (stem.size() == 4 && stem[3] >= L'1' && stem[3] <= L'9') {
        const std::wstring_view prefix = stem.substr(0, 3);
        return equalsUpper(prefix, L"COM") || equalsUpper(prefix, L"LPT");
    }
    return false;
}

} // namespace

bool isSafeFileName(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") {
        return false;
    }
    for (const wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) {
            return false;
        }
    }
    return !isDeviceName(name);
}

} // namespace payload
