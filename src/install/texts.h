#pragma once
// The installer's localised texts. Every text is named by its base id (the id
// of its French entry, 1000-1132); the current language adds its offset, and
// untranslated entries ("#") fall back to English, then French.

#include "install/installer_languages.h"

#include <string>

// The string id to load for a base id in the current language.
int TextId(int base);

// The text of a base id in the current language, from the executable's
// string tables (each block holds one language, so the id alone finds it).
std::wstring LoadText(int base);

// The end of a step's line in the progress log: "OK" or "Failed", and the
// line break.
std::wstring stepOutcome(bool ok);

// Text 1106, "Click on '%1' to continue.", naming the Next button.
std::wstring continueStatus();
