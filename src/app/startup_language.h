#pragma once
// The interface language chosen at start-up.

#include <cstdint>
#include <optional>

// The language preference TwLanguage that an earlier installation stored in
// the product's uninstall key (a REG_DWORD); empty when it is missing or not
// a 32-bit number.
std::optional<std::uint32_t> storedLanguagePreference();

// The user's default language among the product's, then the stored preference
// when it names a product language, then English when the installer has no
// texts in the result.
void chooseStartupLanguage();
