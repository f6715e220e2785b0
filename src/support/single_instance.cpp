#include "support/single_instance.h"

namespace tw {

// STAND-IN: no other copy runs.

NamedMutex::NamedMutex(const std::wstring&, bool initialOwner, bool)
    : owned_(initialOwner) {}

bool NamedMutex::tryLock() {
    owned_ = true;
    return owned_;
}

void NamedMutex::releaseForLending() {
    owned_ = false;
}

unsigned runningCount() {
    return 1;
}

namespace details {
void registerRunningInstance() {}
} // namespace details

} // namespace tw
