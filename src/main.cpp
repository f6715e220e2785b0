// The installer's entry point: the DLL search leaves the installer's folder
// first of all; the processor check, the error mode and the library start run
// before the application object exists. The application object runs the
// wizard frame once its session is prepared.

#include "app/install_app.h"
#include "app/process_start.h"
#include "support/library_init.h"
#include "support/system_library.h"
#include "wizard/frame.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tw::restrictDllSearch();
    if (!checkProcessor()) {
        return 1;
    }
    tw::details::applyErrorMode();
    tw::details::initialize_mfc_lib();
    CInstallApp app([] {
        CInstallDlg frame;
        frame.DoModal(nullptr);
    });
    return app.Run();
}
