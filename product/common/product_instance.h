#pragma once
// The start of the product's programs, which share the setup program's kernel
// objects through the maker's library (support/single_instance.h).

namespace kelvane {

// The programs' start: the DLL search leaves the program's folder, the
// application identifier comes from the version resource ("Kelvane3"), and
// the process registers as running until it ends.
void startProgram();

} // namespace kelvane
