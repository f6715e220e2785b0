#include "support/language_state.h"

namespace tw {

// STAND-IN until the language table arrives: English, left to right.

LanguageState& CurrentLanguage() {
    static LanguageState state;
    return state;
}

void SetLanguage(std::int32_t index) {
    LanguageState& state = CurrentLanguage();
    state.languageIndex = index;
    state.resourceModule = nullptr;
}

std::int32_t DefaultLanguage(std::uint32_t) {
    return 1;
}

bool isRightToLeft(std::int32_t) {
    return false;
}

HMODULE resourceModule() {
    LanguageState& state = CurrentLanguage();
    if (state.resourceModule == nullptr) {
        state.resourceModule = ::GetModuleHandleW(nullptr);
    }
    return state.resourceModule;
}

} // namespace tw
