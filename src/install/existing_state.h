#pragma once
// What the detection of an earlier installation found, as the session keeps it.

#include <cstdint>

enum ExistingState : std::int32_t {
    NewerInstalled = -1,
    NotInstalled = 0,
    SameInstalled = 1,
    OlderInstalled = 2,
};
