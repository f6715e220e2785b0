#include "support/application_id.h"

#include "support/path_stem.h"
#include "support/program_path.h"
#include "support/version_info.h"

namespace tw {

namespace {

std::wstring& storage() {
    static std::wstring id;
    return id;
}

} // namespace

const std::wstring& applicationId() {
    return storage();
}

namespace details {
void deriveApplicationId() {
    const VersionInfo own = VersionInfo::fromOwnModule();
    std::wstring id = own.stringValue(L"ApplicationId");
    if (id.empty()) {
        id = own.productName();
    }
    if (id.empty()) {
        id = fileStem(programPath());
    }
    storage() = std::move(id);
}
} // namespace details

} // namespace tw
