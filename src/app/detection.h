#pragma once
// Detection of an earlier installation of the product, before the wizard
// opens: which version is installed, and the earlier uninstall log with the
// folders it names.

#include "install/journal_executor.h"

#include <string>

class CInstallApp;

// Sets existingState, existingVersionText and existingVersion, loads the
// earlier uninstall log and takes over its folders, for the main program
// registered under the maker's key and this installer's own program file.
void detectExistingInstallation(CInstallApp& app);

// The same for a given registered main program path (empty: none, or no file
// there) and installer program path.
void detectExistingInstallation(CInstallApp& app, const std::wstring& registeredProgram,
                                const std::wstring& installerProgram);

// The first earlier uninstall log that exists as a file: beside the program
// that the product's "UninstallString" (below keys) names, beside the
// installer, beside the registered main program. Empty when there is none.
std::wstring findEarlierLog(const UninstallKeyLocation& keys, const std::wstring& installerProgram,
                            const std::wstring& registeredProgram);
