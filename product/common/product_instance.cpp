#include "common/product_instance.h"

#include "support/application_id.h"
#include "support/single_instance.h"
#include "support/system_library.h"

namespace kelvane {

void startProgram() {
    tw::restrictDllSearch();
    tw::details::deriveApplicationId();
    tw::details::registerRunningInstance();
}

} // namespace kelvane
