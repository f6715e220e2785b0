#pragma once
// The kernel objects the product's programs share with the setup program: the
// exclusive mutex and the semaphore that counts running processes. Their names
// follow the ApplicationId "Kelvane3" of the programs' version resources.

#include <windows.h>

namespace kelvane {

constexpr wchar_t mutexName[] = L"Global\\Kelvane3.{5ead623c-dfcd-474d-8e3c-e6978cac039e}";
constexpr wchar_t semaphoreName[] = L"Global\\Kelvane3.{a3526b56-ca7c-4e16-8a26-da7758a378fd}";

// Counts this process in the semaphore for as long as the object lives, so
// that a setup program asks the user to close the product first.
class RunningRegistration {
public:
    RunningRegistration();
    ~RunningRegistration();
    RunningRegistration(const RunningRegistration&) = delete;
    RunningRegistration& operator=(const RunningRegistration&) = delete;

private:
    HANDLE semaphore_ = nullptr;
    bool counted_ = false;
};

// Holds the mutex for as long as the object lives, when it can be taken within
// the time given (the setup program lends it while the product registers).
class MutexHold {
public:
    explicit MutexHold(DWORD milliseconds);
    ~MutexHold();
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;

    bool held() const noexcept { return held_; }

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

} // namespace kelvane
