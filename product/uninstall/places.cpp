#include "uninstall/places.h"

#include "payload_destinations.h"

#include "install/links.h"
#include "install/same_path.h"
#include "install/shortcut_places.h"
#include "payload/compress_error.h"
#include "payload/destination.h"
#include "support/path_text.h"
#include "support/shell_folder_path.h"

#include <algorithm>
#include <system_error>

namespace uninstall {

namespace {

// The token of a destination with nothing after it: the folder it stands for.
std::wstring tokenOf(std::wstring_view destination) {
    return std::wstring(destination.substr(0, destination.find_first_of(L"\\/")));
}

void addOnce(std::vector<std::wstring>& folders, std::wstring folder) {
    const bool known = std::any_of(folders.begin(), folders.end(),
                                   [&](const std::wstring& f) { return SamePathText(f, folder); });
    if (!folder.empty() && !known) {
        folders.push_back(std::move(folder));
    }
}

} // namespace

Places placesOf(const std::wstring& installFolder) {
    Places places;
    places.installation.installFolder = installFolder;
    payload::SharedFolderList unused(SamePathText);
    payload::DestinationResolver resolver({installFolder, {}, {}}, tw::shellFolderPathWithOwner,
                                          unused);
    for (const wchar_t* destination : payloadDestinations) {
        try {
            addOnce(places.installation.dataFolders, resolver.resolveFolder(destination));
            addOnce(places.linkBases, resolver.resolveFolder(tokenOf(destination)));
        } catch (const std::system_error&) {
            // A shell folder the system does not name holds nothing.
        }
    }
    places.installation.shortcutFolders = shortcutPlaces();
    for (const std::wstring& folder : places.installation.shortcutFolders) {
        addOnce(places.linkBases, folder);
    }
    return places;
}

std::wstring linkOnTheWay(const Places& places, const std::wstring& path) {
    // The nearest base leaves the fewest levels down to path.
    std::vector<std::wstring> levels;
    for (const std::wstring& base : places.linkBases) {
        std::vector<std::wstring> down = tw::levelsDown(base, path);
        if (down.size() >= 2 && (levels.empty() || down.size() < levels.size())) {
            levels = std::move(down);
        }
    }
    for (std::size_t level = 1; level + 1 < levels.size(); ++level) {
        if (isLink(levels[level])) {
            return levels[level];
        }
    }
    return {};
}

} // namespace uninstall
