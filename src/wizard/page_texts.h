#pragma once
// Texts the pages share.

#include <string>

// Text 1106, "Click on '%1' to continue.", naming the Next button.
std::wstring ContinueStatus();
