#pragma once
// The installation: one ordered run of steps, shown in the view.

class InstallView;

// Runs the installation of the session's choices; true when it ran to its end.
bool RunInstallation(InstallView& view);
