#pragma once
// The version of the common-controls library the process gets.

#include <cstdint>

namespace tw {

// (major << 16) | minor of Comctl32.dll as its DllGetVersion reports it; 0 when
// the module, the function or the call fails.
std::uint32_t commonControlsVersion();

// Whether the process has common controls 6.0 or later. Wine's comctl32
// reports 5.81 from DllGetVersion even as the side-by-side version-6 assembly
// that it implements; under Wine, that assembly being the loaded module counts.
bool hasCommonControls6();

// True when the process runs under Wine rather than on Windows.
bool runningUnderWine();

} // namespace tw
