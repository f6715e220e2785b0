#include "support/providers.h"

#include "support/application_id.h"
#include "support/program_path.h"
#include "support/path_stem.h"
#include "support/version_info.h"

namespace tw {

Providers& providers() {
    static Providers slots;
    return slots;
}

std::wstring applicationNameFallback() {
    if (std::wstring name = VersionInfo::fromOwnModule().displayName(); !name.empty()) {
        return name;
    }
    return fileStem(programPath());
}

std::wstring applicationName() {
    const Providers& slots = providers();
    return slots.applicationName ? slots.applicationName() : applicationNameFallback();
}

} // namespace tw
