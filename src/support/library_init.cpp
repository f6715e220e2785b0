#include "support/library_init.h"

#include "support/application_id.h"
#include "support/common_controls.h"
#include "support/error.h"
#include "support/known_folders.h"
#include "support/single_instance.h"

#include <windows.h>
#include <comdef.h>
#include <cstdlib>
#include <mutex>

namespace tw::details {

namespace {

constexpr DWORD commonControlClasses = 0xC0FF;
constexpr UINT initializationErrorStyle = MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND;

// Errors raised by the compiler's COM support become the library's error value.
void WINAPI raiseComError(HRESULT hr, IErrorInfo*) {
    throw error(hr);
}

void startLibraryOnce() {
    computeKnownFolders();
    if (!hasCommonControls6()) {
        throw error(E_UNEXPECTED_CODE);
    }
    initCommonControls(commonControlClasses);
    deriveApplicationId();
    registerRunningInstance();
    _set_com_error_handler(raiseComError);
}

} // namespace

void applyErrorMode() {
    static std::once_flag once;
    std::call_once(once, [] {
        const UINT mode = ::SetErrorMode(0);
        ::SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    });
}

void startLibrary() {
    static std::once_flag once;
    try {
        std::call_once(once, startLibraryOnce);
    } catch (...) {
        ::MessageBoxW(nullptr, L"Initialization Error", nullptr, initializationErrorStyle);
        std::exit(-11);
    }
}

bool initialize_mfc_lib() {
    applyErrorMode();
    startLibrary();
    return true;
}

} // namespace tw::details
