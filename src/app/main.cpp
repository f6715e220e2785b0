// The installer's entry point: the DLL search leaves the installer's folder
// first of all; the processor check, the error mode and the library start run
// before the application object exists.

#include "app/install_app.h"
#include "app/process_start.h"
#include "support/library_init.h"
#include "support/system_library.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tw::restrictDllSearch();
    if (!CheckProcessor()) {
        return 1;
    }
    tw::details::applyErrorMode();
    tw::details::initialize_mfc_lib();
    CInstallApp app;
    return app.Run();
}
