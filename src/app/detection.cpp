#include "app/detection.h"

#include "app/install_app.h"

// STAND-IN until the detection of an earlier installation arrives: a clean
// machine, where the product is not installed.
void DetectExistingInstallation(CInstallApp& app) {
    app.existingState = NotInstalled;
    app.existingVersionText.clear();
    app.existingVersion = 0;
}
