#pragma once
// The interface language chosen at start-up.

// The user's default language among the product's, then the stored preference
// when it names a product language, then English when the installer has no
// texts in the result.
void ChooseStartupLanguage();
