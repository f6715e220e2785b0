#include "install/format_text.h"

#include <optional>
#include <vector>

namespace {
std::optional<std::size_t> placeholderIndex(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return static_cast<std::size_t>(c - L'1'); // "%0" wraps around: no argument
    }
    if (c >= L'A' && c <= L'Z') {
        return static_cast<std::size_t>(9 + (c - L'A'));
    }
    return std::nullopt;
}
} // namespace

std::wstring formatText(const std::wstring& text, std::initializer_list<std::wstring> arguments) {
    const std::vector<std::wstring> values(arguments);
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::optional<std::size_t> index =
            text[i] == L'%' && i + 1 < text.size() ? placeholderIndex(text[i + 1]) : std::nullopt;
        if (!index) {
            result += text[i];
            continue;
        }
        result += *index < values.size() ? values[*index] : std::wstring(L"?");
        ++i;
    }
    return result;
}

std::wstring quotedPath(const std::wstring& path) {
    constexpr std::size_t maximum = 260;
    std::wstring shown = path.substr(0, maximum);
    if (shown.find(L' ') != std::wstring::npos) {
        shown = L"\"" + shown + L"\"";
    }
    return shown;
}
