#pragma once
// The removal of a folder that an ordinary user can change (the run's
// temporary folder lies in the user's temporary folder), by an elevated
// program that must not be led elsewhere by a link planted there.

#include <string>

// Deletes the folder and everything below it, never through a link: the
// folder and each item are opened as themselves, so that a link is deleted as
// a link and never what it points to, and every item is listed and opened
// through the handle of the folder that holds it, by its file id, so that a
// folder swapped for a link meanwhile changes nothing of what is deleted. A
// folder that is itself a link stays as it is; so does what cannot be
// deleted, and what lies deeper than sixteen folders.
void removeFolderTree(const std::wstring& folder);
