#pragma once
// The objects shared by the setup program, the installed program and the
// uninstaller: the exclusive mutex that lets one setup program run at a time,
// and the semaphore whose count is the number of registered processes of the
// product family. Both live in the global namespace, so that processes of
// every session see each other, and every user may open them.

#include "support/unique_resource.h"

#include <windows.h>
#include <string>

namespace tw {

// What follows the application identifier in the names of the two objects.
inline constexpr wchar_t mutexSuffix[] = L".{5ead623c-dfcd-474d-8e3c-e6978cac039e}";
inline constexpr wchar_t semaphoreSuffix[] = L".{a3526b56-ca7c-4e16-8a26-da7758a378fd}";

// Creates or opens the mutex "Global\" + name, which Everyone may open with
// full access. None on failure; the last error is that of the create call,
// or ERROR_CAN_NOT_COMPLETE when the descriptor could not be built.
unique_handle createGlobalMutex(bool initialOwner, const std::wstring& name);

// The same for the semaphore "Global\" + name; an existing one is opened with
// its current count.
unique_handle createGlobalSemaphore(LONG initialCount, LONG maximumCount, const std::wstring& name);

// A named mutex and whether this process holds it, as far as this object
// knows. Released (when held) and closed on destruction.
class NamedMutex {
public:
    // Creates or opens the mutex (in the global namespace when global is
    // set). Asked to own an existing one, waits for it without time limit.
    NamedMutex(const std::wstring& name, bool initialOwner, bool global);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Takes the mutex when it is free or abandoned; true when now held.
    bool tryLock();
    // Releases the mutex so that a started program can take it.
    void releaseForLending();
    bool owned() const noexcept { return owned_; }

private:
    unique_handle handle_;
    bool owned_ = false;
};

// This process's place in the register of running processes: one unit added
// to the semaphore when created, taken back when destroyed.
class InstanceCounter {
public:
    // Creates or opens the semaphore name (in the global namespace) and adds
    // one unit. Without a semaphore the process is not registered.
    explicit InstanceCounter(const std::wstring& name);
    // Takes back the units this process added, all or none.
    ~InstanceCounter();
    InstanceCounter(const InstanceCounter&) = delete;
    InstanceCounter& operator=(const InstanceCounter&) = delete;

    // The units this process has added and not taken back: 1 once it is
    // registered, 0 without a semaphore. The destruction takes back exactly
    // this share, which keeps the register's count exact across processes;
    // the program itself only asks runningCount.
    LONG contribution() const noexcept { return contribution_; }
    // The semaphore's count, this process included; 0 without a semaphore.
    unsigned runningCount() const;

    // The process's counter, named after the application identifier; created
    // on first use (thread-safe) and destroyed at process exit.
    static InstanceCounter& process();

private:
    unique_handle handle_;
    LONG contribution_ = 0;
};

// The number of processes of the product family registered as running, this
// one included; 0 when this process could not register.
unsigned runningCount();

namespace details {
// Registers this process as running (creates the process's counter).
void registerRunningInstance();

// Takes units from the semaphore, each with a wait that does not block; when
// one is not there, gives back those taken. True when all were taken.
bool takeUnits(HANDLE semaphore, LONG units);
} // namespace details

} // namespace tw
