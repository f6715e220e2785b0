#pragma once
// The installer's localised texts, named by base id (1000-1132); the current
// language adds its offset.
//
// STAND-IN: English only, until the string tables of every language and the
// fallback rules arrive with the languages work.

#include <string>

// The string id to load for a base id in the current language.
int TextId(int base);

// The text of a base id in the current language.
std::wstring LoadText(int base);
