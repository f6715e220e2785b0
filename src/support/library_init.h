#pragma once
// The library's share of process start.

namespace tw::details {

// The process error mode gains SEM_FAILCRITICALERRORS and
// SEM_NOOPENFILEERRORBOX, keeping the bits it has. Runs once.
void applyErrorMode();

// Library start, once per process: cached folders, common controls 6.0 or
// later, the control classes, the application identifier, the running-process
// register, the COM error handler. On any failure the process ends with
// "Initialization Error" and exit code -11.
void startLibrary();

// Runs the error-mode step and the library start when they have not run.
// Returns true. The providers stay as they are: an empty slot is the
// library's default, and the application fills those it customises.
bool initialize_mfc_lib();

} // namespace tw::details
