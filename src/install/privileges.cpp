#include "install/privileges.h"

// STAND-IN until the security wrappers arrive: an administrator, as on the
// machines the installer is started elevated on.
bool IsAdministrator() {
    return true;
}
