#include "app/texts.h"

#include "app/format_text.h"

#include "support/language_state.h"
#include "support/resources.h"

#include <windows.h>

namespace {

std::wstring executableString(int id) {
    return tw::loadString(::GetModuleHandleW(nullptr), static_cast<UINT>(id));
}

} // namespace

int TextId(int base) {
    return TextIdFor(base, tw::currentLanguage().languageIndex, executableString);
}

std::wstring LoadText(int base) {
    return executableString(TextId(base));
}

std::wstring StepOutcome(bool ok) {
    return LoadText(ok ? 1011 : 1012) + L"\r\n";
}

std::wstring ContinueStatus() {
    return FormatText(LoadText(1106), {LoadText(1006)});
}
