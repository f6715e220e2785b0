#include "install/folder_rights.h"

// STAND-IN until the access-control-list work arrives: nothing is granted.
void GrantAccess(const std::wstring&, std::uint32_t, std::uint32_t) {}
