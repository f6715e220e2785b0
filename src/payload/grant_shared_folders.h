#pragma once
// Granting the Users group access to the shared folders of the payload.
//
// STAND-IN: does nothing yet; the folder-rights work (install/) brings the
// real GrantSharedFolders and GrantAccess and replaces this file.

#include "payload/shared_folders.h"

#include <string>

namespace payload {

// For every folder of the list not yet granted that is the file's folder or
// one of its existing ancestors: marks it granted and gives Users full access.
void GrantSharedFolders(SharedFolderList& folders, const std::wstring& fileFolder);

} // namespace payload
