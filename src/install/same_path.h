#pragma once
// Path equality for the uninstall log merge and the shared-folder list.

#include <optional>
#include <string>
#include <unordered_map>

// True when a and b name the same file or folder:
//  1. their elements are the same characters ("\" and "/" both separate);
//  2. otherwise, when both exist, whether they are the same file (volume and
//     file identifier);
//  3. otherwise, whether their absolute forms have the same elements ignoring
//     case.
bool SamePath(const std::wstring& a, const std::wstring& b);

// Rule 3 of SamePath alone: whether the absolute forms of a and b have the
// same elements ignoring case. The file system is never asked what they name,
// so a link cannot make two folders one.
bool SamePathText(const std::wstring& a, const std::wstring& b);

// SamePath for comparing many paths: what each path names on the file system
// is looked up once. Only for a span in which the file system does not change.
class PathComparer {
public:
    bool operator()(const std::wstring& a, const std::wstring& b);

private:
    struct Facts {
        std::optional<std::pair<unsigned long, unsigned long long>> identity;
        std::wstring absolute;
    };
    const Facts& lookup(const std::wstring& path);

    std::unordered_map<std::wstring, Facts> facts_;
};
