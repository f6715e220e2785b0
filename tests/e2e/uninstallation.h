#pragma once
// The product's uninstaller as Windows starts it over an installation that a
// scenario made: its command line from the product's uninstall key, a run
// that the user confirms, and what it leaves behind.

#include "machine.h"

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The uninstaller's English texts: its caption, its question, its last word.
const std::wstring uninstallCaption = L"Uninstall Kelvane 3";
const std::wstring uninstallQuestion =
    L"Do you want to remove Kelvane 3 and all of its components from your computer?";
const std::wstring uninstallDone = L"Kelvane 3 was removed from your computer.";

// The UninstallString of the product's uninstall key; fails the test when
// there is none.
std::wstring uninstallString();

// The uninstaller started, asked, and answered Yes; it ends after saying
// what it removed, which changed files it kept and which links it left, and
// its copy ends too. The uninstaller's process id.
DWORD uninstallConfirmed(const std::vector<std::wstring>& kept = {},
                         const std::vector<std::wstring>& links = {});

// Whether Windows is to delete the file at its next start-up.
bool deletedAtStartUp(const std::wstring& path);

// What changed, but the uninstaller's copy in a folder of its own in the
// temporary folder, which are there until Windows deletes them at its next
// start-up (the test fails when there is no such copy or Windows is not to
// delete it).
std::vector<std::wstring> changesButTheCopy(const MachineState& before, const MachineState& after);

} // namespace e2e
