#include "payload/shared_folders.h"

#include <algorithm>

namespace payload {

SharedFolderList::SharedFolderList(Equality samePath)
    : samePath_(std::move(samePath)) {}

void SharedFolderList::RegisterSharedFolder(const std::wstring& folder) {
    const bool known = std::any_of(folders_.begin(), folders_.end(), [&](const SharedFolder& f) {
        return samePath_(f.path, folder);
    });
    if (!known) {
        folders_.push_back({folder, false});
    }
}

} // namespace payload
