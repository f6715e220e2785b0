#include "support/version_info.h"

#include "support/language_state.h"
#include "support/product_code.h"

namespace tw {

namespace {

bool isLisquenBuild(const VersionInfo& first) {
    static const bool outcome = first.stringValue(L"SpecialBuild") == L"Lisquen";
    return outcome;
}

} // namespace

std::wstring VersionInfo::brandedProductName() const {
    return brandedName(productName(), ProductCode(), currentLanguage().languageIndex,
                       [this] { return isLisquenBuild(*this); });
}

std::wstring VersionInfo::displayName() const {
    return displayNameFrom(brandedProductName(), productVersion(), fileFlags(),
                           currentLanguage().lcid);
}

} // namespace tw
