#pragma once
// Where the installation that wrote the log put things, as Uninstall.exe
// works it out for itself rather than from the log's entries: the
// installation folder of the log's header, the folders that the payload's
// destinations resolve to (Uninstall.exe carries the destinations, as CMake
// lists them from the payload's manifest), the start menus and the desktops.

#include "install/installation_places.h"

#include <string>
#include <vector>

namespace uninstall {

struct Places {
    // What the log's entries are checked against (mayActOn).
    InstallationPlaces installation;
    // The folders that the destinations' tokens and the shortcuts start
    // from. Below them ordinary users may have put links; they themselves are
    // the system's.
    std::vector<std::wstring> linkBases;
};

// The places of the installation in installFolder. A destination whose token
// names no folder here gives none; the examples folder, whose name the
// installer's language chose, is known only as the desktop that holds it.
Places placesOf(const std::wstring& installFolder);

// The first folder that is a link on the way to path: from the folder below
// the nearest base that holds path down to path's own folder (path itself is
// not looked at: removing a link removes only the link). Empty when there is
// none, or no base holds path.
std::wstring linkOnTheWay(const Places& places, const std::wstring& path);

} // namespace uninstall
