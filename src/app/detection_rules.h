#pragma once
// The decisions of the detection of an earlier installation, free of the
// system: what the installed main program's version means for this run, and
// where the earlier installation's uninstall log may lie.

#include "install/existing_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The session's findings about the installed main program.
struct InstalledProgram {
    ExistingState state = NotInstalled;
    // existingVersionText is the program's display name.
    bool showsVersionText = false;
    // existingVersion: the program's file version, 0 when not an update.
    std::uint64_t existingVersion = 0;
    // The earlier uninstall log is looked for, and its folders taken over.
    bool takesEarlierLog = false;
};

// Classifies the installed main program against this installer's ownVersion.
// registered: a registered program file exists; fileVersion: its 64-bit file
// version, none when it has no fixed version information (taken as the same
// version).
InstalledProgram classifyInstalledProgram(bool registered, std::optional<std::uint64_t> fileVersion,
                                          std::uint64_t ownVersion);

// Where the earlier log may lie, in the order it is looked for: beside the
// program that "UninstallString" names (when it could be read), beside the
// installer itself, beside the registered main program. A path without a
// folder gives no candidate.
std::vector<std::wstring> earlierLogCandidates(const std::optional<std::wstring>& uninstallString,
                                               std::wstring_view installerProgram,
                                               std::wstring_view registeredProgram);
