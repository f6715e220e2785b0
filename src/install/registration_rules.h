#pragma once
// Rules of the installation that need no Windows call: how far the progress
// bar stands, and what the installed main program is told when it registers
// the product.

#include <cstdint>
#include <string>

// The progress bar's position (0 to 100) for position bytes of total: rounded,
// halves up; 100 is shown only when position has reached total.
int progressPercent(std::uint64_t position, std::uint64_t total);

// The arguments after the main program's path: " /Register /Background", and
// when an earlier version is updated, " /update=" and that version as 16
// lower-case hexadecimal digits.
std::wstring registrationArguments(std::uint64_t existingVersion);
