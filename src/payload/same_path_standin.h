#pragma once
// STAND-IN for SamePath of the uninstall log (install/same_path.h), which
// replaces it when that work is merged: the path equality of the shared-folder
// list on Windows.

#include <string>

namespace payload {

// Whether two paths are equal element by element ("\" and "/" both separate,
// empty elements ignored), each element compared without regard to case.
bool samePathStandIn(const std::wstring& a, const std::wstring& b);

} // namespace payload
