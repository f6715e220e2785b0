#include "install/install_progress.h"

#include <cmath>

int progressPercent(std::uint64_t position, std::uint64_t total) {
    if (total == 0) {
        return 0;
    }
    const long double exact =
        100.0L * static_cast<long double>(position) / static_cast<long double>(total);
    const auto percent = static_cast<int>(std::floor(exact + 0.5L));
    return percent >= 100 && position < total ? 99 : percent;
}
