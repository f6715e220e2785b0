#include "support/path_text.h"

namespace tw {

std::wstring parentPath(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? std::wstring()
                                                : std::wstring(path.substr(0, separator));
}

} // namespace tw
