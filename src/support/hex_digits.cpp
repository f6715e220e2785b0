#include "support/hex_digits.h"

namespace tw {

std::wstring lowerHex(std::uint64_t number, std::size_t width) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[number % 16]);
        number /= 16;
    } while (number != 0);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), L'0');
    }
    return digits;
}

} // namespace tw
