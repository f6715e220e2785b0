#pragma once
// The rules of the library's message boxes and error texts that need no
// window: which messages are silent, how a style is completed, and how an error
// code falls back to a text. Windows supplies the lookups; tests supply their own.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tw {

namespace style {
constexpr std::uint32_t buttonMask = 0x0000000F;
constexpr std::uint32_t ok = 0x0;
constexpr std::uint32_t okCancel = 0x1;
constexpr std::uint32_t yesNoCancel = 0x3;
constexpr std::uint32_t yesNo = 0x4;
constexpr std::uint32_t iconMask = 0x000000F0;
constexpr std::uint32_t iconQuestion = 0x20;
constexpr std::uint32_t iconExclamation = 0x30;
constexpr std::uint32_t iconUser = 0x80;
constexpr std::uint32_t rtlReading = 0x00100000;
} // namespace style

// A message with only an OK button is silent when the silent-mode provider is
// set and says so; a message that asks a question is never silent.
bool isSilentMessage(std::uint32_t messageStyle, std::optional<bool> silentProvider);

// Adds the default icon (exclamation for OK and OK/Cancel, question for
// Yes/No/Cancel and Yes/No) when the style has none, and the right-to-left
// reading flag when the text is to be read right to left.
std::uint32_t completeMessageStyle(std::uint32_t messageStyle, bool rightToLeft);

// The style given to MessageBoxW: a user icon (0x80) loses its icon bits.
std::uint32_t messageBoxStyle(std::uint32_t completedStyle);

// Where errorText finds its texts.
struct ErrorTextSources {
    // The application's string resource of that identifier; empty when none.
    std::function<std::wstring(std::uint16_t id)> loadString;
    // The system's message-table text of a code; empty when none.
    std::function<std::wstring(std::int32_t code)> systemMessage;
};

// The text of an error code (HRESULT or Windows error number). Codes with the
// customer bit name one of the application's own strings (with bit
// 0x08000000) or stand for E_FAIL. Never empty: the last fallback is "Error".
std::wstring errorTextFrom(std::int32_t code, const ErrorTextSources& sources);

} // namespace tw
