#pragma once
// The folders that receive access rights for the Users group once they exist:
// they are registered while destinations are resolved and granted when the
// first file is created inside or below them.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace payload {

struct SharedFolder {
    std::wstring path;
    bool granted = false; // the grant has been attempted
};

class SharedFolderList {
public:
    // Whether two paths name the same folder.
    using Equality = std::function<bool(const std::wstring&, const std::wstring&)>;

    explicit SharedFolderList(Equality samePath);

    // Appends the folder, not granted, unless the list holds the same folder.
    void RegisterSharedFolder(const std::wstring& folder);

    // The outermost folder of the list that path lies at or below, the
    // elements compared as text ignoring case (tw::levelsDown); empty when
    // none. Ordinary users may change what lies there.
    std::wstring outermostHolding(std::wstring_view path) const;

    const Equality& samePath() const noexcept { return samePath_; }
    std::vector<SharedFolder>& folders() noexcept { return folders_; }
    const std::vector<SharedFolder>& folders() const noexcept { return folders_; }

private:
    Equality samePath_;
    std::vector<SharedFolder> folders_;
};

} // namespace payload
