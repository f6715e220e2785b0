#pragma once
// The start of the product's programs, which share the setup program's kernel
// objects through the maker's library (support/single_instance.h).

#include <string>
#include <vector>

namespace kelvane {

// The programs' start: the DLL search leaves the program's folder, the
// application identifier comes from the version resource ("Kelvane3"), and
// the process registers as running until it ends.
void startProgram();

// The program's command-line arguments after its own name.
std::vector<std::wstring> programArguments();

} // namespace kelvane
