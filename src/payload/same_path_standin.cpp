#include "payload/same_path_standin.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace payload {

namespace {

std::vector<std::wstring_view> elements(std::wstring_view path) {
    std::vector<std::wstring_view> result;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = path.find_first_of(L"\\/", start);
        const std::size_t stop = end == std::wstring_view::npos ? path.size() : end;
        if (stop > start) {
            result.push_back(path.substr(start, stop - start));
        }
        start = stop + 1;
    }
    return result;
}

} // namespace

bool samePathStandIn(const std::wstring& a, const std::wstring& b) {
    const std::vector<std::wstring_view> left = elements(a);
    const std::vector<std::wstring_view> right = elements(b);
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (::CompareStringOrdinal(left[i].data(), static_cast<int>(left[i].size()),
                                   right[i].data(), static_cast<int>(right[i].size()),
                                   TRUE) != CSTR_EQUAL) {
            return false;
        }
    }
    return true;
}

} // namespace payload
