#include "support/program_path.h"

#include <windows.h>
#include <cstdlib>

namespace tw {

std::wstring programPath() {
    if (_wpgmptr != nullptr && *_wpgmptr != L'\0') {
        return _wpgmptr;
    }
    // The name is cut to the buffer when it does not fit: the buffer grows
    // until it does.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace tw
