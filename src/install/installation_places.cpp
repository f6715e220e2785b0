#include "install/installation_places.h"

#include "payload/archive_entry.h"
#include "support/path_text.h"

#include <algorithm>
#include <optional>

namespace {

using Elements = std::vector<std::wstring_view>;

constexpr std::wstring_view shortcutExtension = L".lnk";

// An absolute path as its elements, without an empty last one, and how many
// of them are its root: "C:" and "\", or "\\", the server and the share.
struct AbsolutePath {
    Elements elements;
    std::size_t rootSize = 0;

    bool hasNames() const noexcept { return elements.size() > rootSize; }
};

// A name that Windows takes as it is written: no "." or "..", device, stream
// or wildcard, and no trailing dot or blank, which Windows would drop.
bool isPlainName(std::wstring_view name) {
    return payload::isSafeFileName(name) && name.back() != L'.' && name.back() != L' ';
}

std::optional<AbsolutePath> absolutePath(std::wstring_view path) {
    AbsolutePath absolute{tw::pathElements(path)};
    Elements& elements = absolute.elements;
    if (!elements.empty() && elements.back().empty()) {
        elements.pop_back();
    }
    std::size_t firstName = 0;
    if (elements.size() >= 2 && tw::hasDrivePrefix(elements[0]) && elements[0].size() == 2 &&
        elements[1] == L"\\") {
        absolute.rootSize = firstName = 2;
    } else if (elements.size() >= 3 && elements[0] == L"\\\\") {
        absolute.rootSize = 3;
        firstName = 1;
    } else {
        return std::nullopt;
    }
    const bool plain = std::all_of(elements.begin() + static_cast<std::ptrdiff_t>(firstName),
                                   elements.end(), isPlainName);
    return plain ? std::optional(std::move(absolute)) : std::nullopt;
}

// A place holds something only when it names a folder below a root.
std::optional<AbsolutePath> placePath(const std::wstring& place) {
    std::optional<AbsolutePath> path = absolutePath(place);
    return path && path->hasNames() ? path : std::nullopt;
}

bool isShortcutFile(std::wstring_view name) {
    return name.size() > shortcutExtension.size() &&
           tw::equalIgnoringCase(name.substr(name.size() - shortcutExtension.size()),
                                 shortcutExtension);
}

} // namespace

bool mayActOn(const InstallationPlaces& places, LogKind kind, std::wstring_view path) {
    if (kind == LogKind::UninstallKey || kind == LogKind::FileAssociations) {
        return true;
    }
    const std::optional<AbsolutePath> target = absolutePath(path);
    if (!target) {
        return false;
    }
    const auto below = [&](const std::wstring& place) {
        const std::optional<AbsolutePath> folder = placePath(place);
        return folder && target->elements.size() > folder->elements.size() &&
               tw::beginsWith(target->elements, folder->elements);
    };
    const auto atOrBelow = [&](const std::wstring& place) {
        const std::optional<AbsolutePath> folder = placePath(place);
        return folder && tw::beginsWith(target->elements, folder->elements);
    };
    const auto onTheWayTo = [&](const std::wstring& place) {
        const std::optional<AbsolutePath> folder = placePath(place);
        return folder && target->hasNames() && tw::beginsWith(folder->elements, target->elements);
    };
    const auto anyOf = [](const std::vector<std::wstring>& folders, const auto& holds) {
        return std::any_of(folders.begin(), folders.end(), holds);
    };
    switch (kind) {
    case LogKind::File:
        return below(places.installFolder) || anyOf(places.dataFolders, below);
    case LogKind::ProgramShortcut:
    case LogKind::UninstallShortcut:
    case LogKind::DesktopShortcut:
        return isShortcutFile(target->elements.back()) && anyOf(places.shortcutFolders, below);
    case LogKind::Folder:
        return atOrBelow(places.installFolder) || onTheWayTo(places.installFolder) ||
               anyOf(places.dataFolders, atOrBelow) || anyOf(places.dataFolders, onTheWayTo) ||
               anyOf(places.shortcutFolders, atOrBelow);
    default:
        return false;
    }
}
