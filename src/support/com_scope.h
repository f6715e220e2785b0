#pragma once
// COM on the calling thread for as long as a scope needs it.

#include <objbase.h>

namespace tw {

// Initialises COM as a single-threaded apartment (CoInitialize) and balances
// a successful initialisation, so that the thread's apartment is left as it
// was found.
class ComScope {
public:
    ComScope() noexcept
        : result_(::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (usable()) {
            ::CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    // S_OK: initialised here; S_FALSE: already initialised as a single-threaded
    // apartment. A failure (a multi-threaded apartment, no memory) leaves COM
    // unusable for the scope.
    bool usable() const noexcept { return SUCCEEDED(result_); }
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

} // namespace tw
