#include "support/resources.h"

namespace tw {

std::wstring loadString(HMODULE module, UINT id) {
    // With a buffer size of 0, LoadStringW lends a pointer into the resource
    // itself, which is not terminated; the result is its length.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return {};
    }
    return std::wstring(text, static_cast<std::size_t>(length));
}

} // namespace tw
