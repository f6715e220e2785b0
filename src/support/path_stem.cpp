#include "support/path_stem.h"

namespace tw {

std::wstring fileStem(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    std::wstring_view name =
        separator == std::wstring_view::npos ? path : path.substr(separator + 1);
    if (name.size() >= 2 && name[1] == L':' && separator == std::wstring_view::npos) {
        name.remove_prefix(2); // a drive letter without a separator: "C:setup.exe"
    }
    if (const std::size_t colon = name.find(L':'); colon != std::wstring_view::npos) {
        name = name.substr(0, colon);
    }
    if (name == L"." || name == L"..") {
        return std::wstring(name);
    }
    const std::size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring_view::npos || dot == 0) {
        return std::wstring(name);
    }
    return std::wstring(name.substr(0, dot));
}

} // namespace tw
