#include "install/shortcut_places.h"

#include "support/shell_folder_path.h"

#include <shlobj.h>

std::vector<std::wstring> shortcutPlaces() {
    std::vector<std::wstring> places;
    for (const int csidl : {CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY,
                            CSIDL_DESKTOPDIRECTORY}) {
        if (std::wstring folder = tw::shellFolderPath(nullptr, csidl); !folder.empty()) {
            places.push_back(std::move(folder));
        }
    }
    return places;
}
