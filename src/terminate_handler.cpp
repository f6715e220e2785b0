// What the installer and the product's programs do with an exception that
// nothing catches: they end at once, as the C++ runtime's own handler does
// after describing the exception on the standard error stream. A windowed
// program has no such stream, so this definition takes the place of the
// runtime's, and with it the demangler that named the exception's type leaves
// the executable. It works only as an object file of the program's link, not
// from a library: the runtime's handler would be linked before it was met.

#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
