#pragma once
// The installation: one ordered run of steps over the session's choices,
// reported to progress as it goes.

#include "install/installation_session.h"

class InstallProgress;

// Runs the installation; the result says whether it ran to its end.
InstallationResult runInstallation(const InstallationSession& session, InstallProgress& progress);
