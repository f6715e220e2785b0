#pragma once
// The language change that the user asks for on the Start page.

#include <cstdint>
#include <functional>

// Re-applies every visible text after a language change. The wizard frame
// registers its RefreshTexts here when it initialises and clears the hook
// (with an empty function) before it is destroyed; without a hook, nothing is
// refreshed.
void setRefreshTextsHook(std::function<void()> refreshTexts);

// Makes a product language current. For a language without installer texts,
// tells the user (text 1129) that the installer goes on in English, and makes
// English current. Then renames the application to its title in the new
// language and calls the refresh hook.
void ChangeLanguage(std::int32_t index);
