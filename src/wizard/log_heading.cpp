#include "wizard/log_heading.h"

#include <algorithm>

namespace wizard {

std::wstring dashedLine(const std::wstring& text, int available, int dashWidth,
                        const std::function<int(const std::wstring&)>& measure) {
    const int dash = std::max(dashWidth, 1);
    if (text.empty()) {
        return std::wstring(static_cast<std::size_t>(std::max(available / dash, 0)), L'-') +
               L"\r\n";
    }
    const std::wstring padded = L" " + text + L" ";
    const int extra = (available - measure(padded)) / dash;
    const int before = std::max(extra / 2, 0);
    const int after = std::max((extra + 1) / 2, 0);
    return std::wstring(static_cast<std::size_t>(before), L'-') + padded +
           std::wstring(static_cast<std::size_t>(after), L'-') + L"\r\n";
}

} // namespace wizard
