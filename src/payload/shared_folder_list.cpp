#include "payload/shared_folder_list.h"

#include "support/path_text.h"

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

std::wstring SharedFolderList::outermostHolding(std::wstring_view path) const {
    std::wstring outermost;
    std::size_t mostLevels = 0;
    for (const SharedFolder& folder : folders_) {
        const std::size_t levels = tw::levelsDown(folder.path, path).size();
        if (levels > mostLevels) {
            outermost = folder.path;
            mostLevels = levels;
        }
    }
    return outermost;
}

} // namespace payload
