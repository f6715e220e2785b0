#include "common/product_instance.h"

#include "support/application_id.h"
#include "support/single_instance.h"
#include "support/system_library.h"
#include "support/unique_resource.h"

#include <windows.h>
#include <shellapi.h>

namespace kelvane {

void startProgram() {
    tw::restrictDllSearch();
    tw::details::deriveApplicationId();
    tw::details::registerRunningInstance();
}

std::vector<std::wstring> programArguments() {
    int count = 0;
    LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const tw::unique_hlocal owned(list);
    std::vector<std::wstring> result;
    for (int i = 1; list != nullptr && i < count; ++i) {
        result.emplace_back(list[i]);
    }
    return result;
}

} // namespace kelvane
