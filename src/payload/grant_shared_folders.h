#pragma once
// Granting the Users group access to the shared folders of the payload, once
// each, when the first file is about to be created inside or below them.

#include "payload/shared_folder_list.h"

#include <functional>
#include <string>

namespace payload {

// The file system as the grant sees it.
struct SharedFolderAccess {
    // Whether the path names an existing folder; raises when the file system
    // cannot tell for another reason than the path not existing.
    std::function<bool(const std::wstring&)> isFolder;
    // Gives Users full access to the folder and everything inside; raises on
    // failure.
    std::function<void(const std::wstring&)> grant;
};

// For every folder of the list not yet granted, walks up from the file's
// folder through existing folders; when the walk meets the listed folder, the
// folder is marked granted and then granted. A failure ends the walk of that
// folder only; a marked folder is never tried again.
void GrantSharedFolders(SharedFolderList& folders, const std::wstring& fileFolder,
                        const SharedFolderAccess& access);

} // namespace payload
