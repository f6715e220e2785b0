#include "payload/grant_shared_folders.h"

#include "support/path_text.h"

#include <exception>

namespace payload {

namespace {

void grantIfAncestor(const SharedFolderList& list, SharedFolder& folder,
                     const std::wstring& fileFolder, const SharedFolderAccess& access) {
    std::wstring current = fileFolder;
    while (access.isFolder(current)) {
        if (list.samePath()(current, folder.path)) {
            folder.granted = true;
            access.grant(current);
            return;
        }
        std::wstring parent = tw::parentPath(current);
        if (parent.size() >= current.size()) {
            return;
        }
        current = std::move(parent);
    }
}

} // namespace

void GrantSharedFolders(SharedFolderList& folders, const std::wstring& fileFolder,
                        const SharedFolderAccess& access) {
    for (SharedFolder& folder : folders.folders()) {
        if (folder.granted) {
            continue;
        }
        try {
            grantIfAncestor(folders, folder, fileFolder, access);
        } catch (const std::exception&) {
            // A folder whose rights cannot be given keeps those it has.
        }
    }
}

} // namespace payload
