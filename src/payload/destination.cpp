#include "payload/destination.h"

#include "payload/compress_error.h"
#include "support/path_text.h"

#include <array>
#include <vector>

namespace payload {

namespace {

constexpr int noFallback = -1;

struct Token {
    std::wstring_view name;
    int csidl;
    int fallback;
    bool marking;
};

// The tokens that stand for shell folders, in the order they are compared.
constexpr std::array<Token, 10> shellTokens = {{
    {L"<ProgramFiles>", csidl::programFiles, noFallback, false},
    {L"<ProgramCommon>", csidl::programFilesCommon, noFallback, false},
    {L"<CommonData>", csidl::commonAppData, csidl::appData, true},
    {L"<UserData>", csidl::appData, noFallback, false},
    {L"<CommonDocuments>", csidl::commonDocuments, csidl::personal, true},
    {L"<Documents>", csidl::personal, noFallback, false},
    {L"<CommonDesktop>", csidl::commonDesktopDirectory, csidl::desktopDirectory, true},
    {L"<Desktop>", csidl::desktopDirectory, noFallback, false},
    {L"<WinDir>", csidl::windows, noFallback, false},
    {L"<System>", csidl::systemFolder, noFallback, false},
}};

// The components after the first one, empty ones left out.
std::vector<std::wstring_view> furtherComponents(std::wstring_view rest) {
    std::vector<std::wstring_view> components;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !tw::isPathSeparator(rest[end])) {
            ++end;
        }
        if (end > start) {
            components.push_back(rest.substr(start, end - start));
        }
        start = end + 1;
    }
    return components;
}

} // namespace

std::wstring joinPath(const std::wstring& folder, std::wstring_view component) {
    if (folder.empty()) {
        return std::wstring(component);
    }
    std::wstring joined = folder;
    if (!tw::isPathSeparator(joined.back())) {
        joined.push_back(pathSeparator);
    }
    joined.append(component);
    return joined;
}

bool isAbsoluteFolder(std::wstring_view path) {
    if (tw::hasDrivePrefix(path) && path.size() >= 3 && tw::isPathSeparator(path[2])) {
        return true;
    }
    if (path.size() >= 2 && tw::isPathSeparator(path[0]) && tw::isPathSeparator(path[1])) {
        return true;
    }
#ifndef _WIN32
    if (!path.empty() && path[0] == L'/') {
        return true;
    }
#endif
    return false;
}

DestinationResolver::DestinationResolver(BaseFolders folders, ShellFolderLookup lookup,
                                         SharedFolderList& shared)
    : folders_(std::move(folders))
    , lookup_(std::move(lookup))
    , shared_(shared) {}

std::wstring DestinationResolver::shellFolder(int csidl, int fallback) {
    std::wstring folder = lookup_(csidl);
    if (folder.empty() && fallback != noFallback) {
        folder = lookup_(fallback);
    }
    if (folder.empty()) {
        raise(compress_errc::unexpected);
    }
    return folder;
}

std::wstring DestinationResolver::sampleFolder() {
    if (isAbsoluteFolder(folders_.samples)) {
        return folders_.samples;
    }
    const std::wstring desktop =
        shellFolder(csidl::commonDesktopDirectory, csidl::desktopDirectory);
    if (folders_.samples.empty()) {
        return desktop;
    }
    std::wstring folder = joinPath(desktop, folders_.samples);
    shared_.RegisterSharedFolder(folder);
    return folder;
}

std::wstring DestinationResolver::resolveFolder(const std::wstring& destination) {
    const std::wstring_view d = destination;
    std::size_t firstEnd = 0;
    while (firstEnd < d.size() && !tw::isPathSeparator(d[firstEnd])) {
        ++firstEnd;
    }
    const std::wstring_view first = d.substr(0, firstEnd);
    if (first.size() < 2 || first.front() != L'<' || first.back() != L'>') {
        return destination; // no components, or an ordinary path
    }

    std::wstring base;
    bool marking = false;
    if (first == L"<InstallPath>") {
        base = folders_.installation;
    } else if (first == L"<SamplePath>") {
        base = sampleFolder();
    } else if (first == L"<Temporary>") {
        base = folders_.temporary.empty() ? folders_.installation : folders_.temporary;
    } else {
        for (const Token& token : shellTokens) {
            if (first == token.name) {
                base = shellFolder(token.csidl, token.fallback);
                marking = token.marking;
                break;
            }
        }
        // An unknown token leaves the base empty: the rest is a relative path.
    }

    for (const std::wstring_view component : furtherComponents(d.substr(firstEnd))) {
        base = joinPath(base, component);
        if (marking) {
            shared_.RegisterSharedFolder(base);
        }
    }
    return base;
}

} // namespace payload
