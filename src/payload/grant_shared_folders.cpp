#include "payload/grant_shared_folders.h"

namespace payload {

// STAND-IN: no folder receives rights until the folder-rights work arrives.
void GrantSharedFolders(SharedFolderList&, const std::wstring&) {}

} // namespace payload
