#include "install/session_places.h"

#include "install/shortcut_places.h"
#include "support/path_text.h"
#include "support/product_code.h"
#include "support/shell_folder_path.h"

#include <shlobj.h>

#include <algorithm>
#include <utility>

namespace {

// A shell folder and, for the maker's folders of application data, the maker's
// name below it.
struct PlaceFolder {
    int csidl;
    bool maker;
};

constexpr PlaceFolder commonData{CSIDL_COMMON_APPDATA, true};
constexpr PlaceFolder userData{CSIDL_APPDATA, true};
constexpr PlaceFolder commonDesktop{CSIDL_COMMON_DESKTOPDIRECTORY, false};
constexpr PlaceFolder userDesktop{CSIDL_DESKTOPDIRECTORY, false};
constexpr PlaceFolder commonMenu{CSIDL_COMMON_STARTMENU, false};
constexpr PlaceFolder userMenu{CSIDL_STARTMENU, false};

std::wstring pathOf(const PlaceFolder& place) {
    const std::wstring folder = tw::shellFolderPathWithOwner(place.csidl);
    return folder.empty() || !place.maker ? folder : folder + L"\\" + tw::makerName;
}

void addPaths(std::vector<std::wstring>& paths, std::initializer_list<PlaceFolder> places) {
    for (const PlaceFolder& place : places) {
        if (std::wstring path = pathOf(place); !path.empty()) {
            paths.push_back(std::move(path));
        }
    }
}

// The part of path below folder ("AppData\\Roaming" of a profile); empty when
// path does not lie below it.
std::wstring below(const std::wstring& folder, const std::wstring& path) {
    const std::vector<std::wstring_view> top = tw::pathNames(folder);
    const std::vector<std::wstring_view> names = tw::pathNames(path);
    if (top.empty() || names.size() <= top.size() ||
        !std::equal(top.begin(), top.end(), names.begin(), tw::equalIgnoringCase)) {
        return {};
    }
    std::wstring rest;
    for (auto name = names.begin() + static_cast<std::ptrdiff_t>(top.size()); name != names.end();
         ++name) {
        rest += (rest.empty() ? L"" : L"\\") + std::wstring(*name);
    }
    return rest;
}

} // namespace

InstallationPlaces placesOfThisSession(const std::wstring& installFolder) {
    InstallationPlaces places;
    places.installFolder = installFolder;
    addPaths(places.dataFolders, {commonData, userData, commonDesktop, userDesktop});
    places.shortcutFolders = shortcutPlaces();
    return places;
}

PlaceShapes placeShapesOfThisMachine() {
    PlaceShapes shapes;
    addPaths(shapes.shared, {commonData, commonDesktop, commonMenu});
    const std::wstring profile = tw::shellFolderPathWithOwner(CSIDL_PROFILE);
    const std::size_t slash = profile.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        addPaths(shapes.shared, {userData, userDesktop, userMenu});
        return shapes;
    }
    shapes.profiles = profile.substr(0, slash);
    for (const PlaceFolder& place : {userData, userDesktop, userMenu}) {
        const std::wstring path = pathOf(place);
        if (std::wstring rest = below(profile, path); !rest.empty()) {
            shapes.inProfile.push_back(std::move(rest));
        } else if (!path.empty()) {
            // A folder kept outside the profile (redirected) is this user's alone.
            shapes.shared.push_back(path);
        }
    }
    return shapes;
}
