#include "support/message_rules.h"

#include "support/error.h"

namespace tw {

namespace {
constexpr std::uint32_t customerBit = 0x20000000;
constexpr std::uint32_t stringResourceBit = 0x08000000;

void trimLineEnds(std::wstring& text) {
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
        text.pop_back();
    }
}
} // namespace

bool isSilentMessage(std::uint32_t messageStyle, std::optional<bool> silentProvider) {
    if ((messageStyle & style::buttonMask) != style::ok) {
        return false;
    }
    return silentProvider.value_or(false);
}

std::uint32_t completeMessageStyle(std::uint32_t messageStyle, bool rightToLeft) {
    if ((messageStyle & style::iconMask) == 0) {
        switch (messageStyle & style::buttonMask) {
        case style::ok:
        case style::okCancel:
            messageStyle |= style::iconExclamation;
            break;
        case style::yesNoCancel:
        case style::yesNo:
            messageStyle |= style::iconQuestion;
            break;
        default:
            break;
        }
    }
    if (rightToLeft) {
        messageStyle |= style::rtlReading;
    }
    return messageStyle;
}

std::uint32_t messageBoxStyle(std::uint32_t completedStyle) {
    if ((completedStyle & style::iconMask) == style::iconUser) {
        return completedStyle & ~style::iconMask;
    }
    return completedStyle;
}

std::wstring errorTextFrom(std::int32_t code, const ErrorTextSources& sources) {
    const auto bits = static_cast<std::uint32_t>(code);
    if ((bits & customerBit) != 0) {
        if ((bits & stringResourceBit) == 0) {
            return errorTextFrom(E_FAIL_CODE, sources);
        }
        std::wstring text = sources.loadString(static_cast<std::uint16_t>(bits & 0xFFFF));
        return text.empty() ? errorTextFrom(E_FAIL_CODE, sources) : text;
    }
    std::wstring text = sources.systemMessage(code);
    trimLineEnds(text);
    if (!text.empty()) {
        return text;
    }
    return code == E_FAIL_CODE ? L"Error" : errorTextFrom(E_FAIL_CODE, sources);
}

} // namespace tw
