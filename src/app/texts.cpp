#include "app/texts.h"

#include "support/language_state.h"
#include "support/resources.h"

int TextId(int base) {
    return base + 1000;
}

std::wstring LoadText(int base) {
    return tw::loadString(tw::resourceModule(), static_cast<UINT>(TextId(base)));
}
