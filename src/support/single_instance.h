#pragma once
// The objects shared by the setup program, the installed program and the
// uninstaller: the exclusive mutex and the register of running processes.
//
// STAND-IN: behaves as on a machine where no other copy runs; the named
// mutex and the semaphore replace it with the single-instance work.

#include <string>

namespace tw {

class NamedMutex {
public:
    NamedMutex(const std::wstring& name, bool initialOwner, bool global);
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Takes the mutex when it is free (or abandoned); true when now held.
    bool tryLock();
    // Releases the mutex so that a started program can take it.
    void releaseForLending();
    bool owned() const noexcept { return owned_; }

private:
    bool owned_ = false;
};

// The number of processes of the product family registered as running, this
// one included.
unsigned runningCount();

namespace details {
// Registers this process as running.
void registerRunningInstance();
} // namespace details

} // namespace tw
