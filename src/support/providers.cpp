#include "support/providers.h"

#include "support/path_stem.h"

namespace tw {

Providers& providers() {
    static Providers slots;
    return slots;
}

std::wstring applicationNameFallback() {
    // STAND-IN until the version-resource reader arrives: the program stem.
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return fileStem(std::wstring_view(buffer, length));
}

std::wstring applicationName() {
    const Providers& slots = providers();
    return slots.applicationName ? slots.applicationName() : applicationNameFallback();
}

} // namespace tw
