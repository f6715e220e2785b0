#pragma once
// The name of the installation's temporary folder, below the user's temporary
// directory: "tarnwick_{" + a random version-4 UUID + "}".

#include <cstdint>
#include <string>
#include <string_view>

namespace payload {

// The prefix, "{", a new random UUID from Boost.Uuid's random generator (the
// system's cryptographic source) as 36 lower-case characters in groups of
// 8, 4, 4, 4 and 12, and "}": a name nobody can foresee.
std::wstring randomFolderLeaf(std::wstring_view prefix);

// randomFolderLeaf("tarnwick_").
std::wstring tempFolderLeaf();

// The text of a failed step: the error as eight lower-case hexadecimal digits
// and the name of the step in parentheses, "%08x (%s)".
std::wstring stepErrorText(std::uint32_t code, std::wstring_view step);

} // namespace payload
