#pragma once
// Detection of an earlier installation of the product.

class CInstallApp;

// Sets existingState, existingVersionText and existingVersion, loads the
// earlier uninstall log and takes over its folders.
void DetectExistingInstallation(CInstallApp& app);
