#include "install/texts.h"

#include "install/format_text.h"
#include "install/text_ids.h"
#include "support/language_state.h"
#include "support/resources.h"

#include <windows.h>

namespace {

std::wstring executableString(int id) {
    return tw::loadString(::GetModuleHandleW(nullptr), static_cast<UINT>(id));
}

} // namespace

int TextId(int base) {
    return textIdFor(base, tw::currentLanguage().languageIndex, executableString);
}

std::wstring LoadText(int base) {
    return executableString(TextId(base));
}

std::wstring stepOutcome(bool ok) {
    return LoadText(ok ? text::stepSucceeded : text::stepFailed) + L"\r\n";
}

std::wstring continueStatus() {
    return formatText(LoadText(text::clickToContinue), {LoadText(text::next)});
}
