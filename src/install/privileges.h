#pragma once
// The administrator check of the start-up.

// Whether the process token belongs to the Administrators group.
bool IsAdministrator();
