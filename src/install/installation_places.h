#pragma once
// Where this product's installation puts things. A program that acts on a
// path it read from a file (the uninstaller and the installer reading an
// uninstall log) acts only on entries that lie there. Paths are compared as
// text, element by element (tw::pathElements) ignoring case; the file system
// is never asked, so neither a link nor a missing folder changes the answer.

#include "install/log_entry.h"

#include <string>
#include <string_view>
#include <vector>

struct InstallationPlaces {
    // The installation folder, as the log's header names it.
    std::wstring installFolder;
    // The folders the payload's destinations resolve to.
    std::vector<std::wstring> dataFolders;
    // The folders shortcuts go to: the start menus and the desktops.
    std::vector<std::wstring> shortcutFolders;
};

// Whether a log entry of this kind and path may be acted on: a File below the
// installation folder or a data folder; a shortcut, a ".lnk" file below a
// shortcut folder; a Folder that is one of the places, lies below one, or lies
// on the way to the installation folder or a data folder (below its drive's
// root or its share); the uninstall key and the file associations always.
// Never a path that is not absolute (a drive letter, a colon and a separator,
// or a UNC path, which only a UNC place holds), nor one with an element that
// Windows would read as another name ("." , "..", a device name, a stream,
// wildcards, a trailing dot or blank). A place that is not such a path holds
// nothing.
bool mayActOn(const InstallationPlaces& places, LogKind kind, std::wstring_view path);
