#include "app/startup_language.h"

#include "support/language_state.h"

// STAND-IN until the language table arrives: English.
void ChooseStartupLanguage() {
    tw::SetLanguage(1);
}
