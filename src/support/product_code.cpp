#include "support/product_code.h"

#include <stdexcept>

namespace tw {

namespace {
std::uint16_t currentCode = 0;
} // namespace

std::uint16_t ProductCode() {
    return currentCode;
}

void setProductCode(std::uint16_t code) {
    currentCode = code;
}

std::wstring productKeyName(std::uint16_t code) {
    // Family 0x01: the first major versions carry no number in their name.
    if (code >= 0x002 && code <= 0x101) {
        return L"Kelvane";
    }
    if (code == 0x102) {
        return L"Kelvane 2";
    }
    if (code == 0x103) {
        return L"Kelvane 3";
    }
    throw std::logic_error("logic error");
}

std::wstring productKeyName() {
    return productKeyName(currentCode);
}

} // namespace tw
