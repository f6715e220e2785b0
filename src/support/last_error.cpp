#include "support/error.h"

#include <windows.h>

namespace tw {

void throwLastError(const char* what) {
    throwWin32Error(static_cast<std::int32_t>(::GetLastError()), what);
}

} // namespace tw
