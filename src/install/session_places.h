#pragma once
// The places of an installation run as this session sees them, and the
// shapes those places have for any administrator's run on this machine, by
// which the undoing of an interrupted run accepts the places its journal
// recorded (journal_file.h).

#include "install/installation_places.h"
#include "install/journal_file.h"

#include <string>

// Where a run of this session into installFolder puts things: the maker's
// folders of the common and of the user's application data (the payload's
// data files) and the desktops (the examples folder, a shortcut); shortcuts
// go to the start menus and the desktops.
InstallationPlaces placesOfThisSession(const std::wstring& installFolder);

// The common folders of those places, and the user's own as paths below the
// user's profile, for every profile of the folder that holds the user's.
PlaceShapes placeShapesOfThisMachine();
