#include "common/product_instance.h"

namespace kelvane {

RunningRegistration::RunningRegistration()
    : semaphore_(::CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, semaphoreName)) {
    counted_ = semaphore_ != nullptr && ::ReleaseSemaphore(semaphore_, 1, nullptr) != FALSE;
}

RunningRegistration::~RunningRegistration() {
    if (counted_) {
        ::WaitForSingleObject(semaphore_, 0);
    }
    if (semaphore_ != nullptr) {
        ::CloseHandle(semaphore_);
    }
}

MutexHold::MutexHold(DWORD milliseconds)
    : mutex_(::CreateMutexW(nullptr, FALSE, mutexName)) {
    if (mutex_ != nullptr) {
        const DWORD result = ::WaitForSingleObject(mutex_, milliseconds);
        held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
}

MutexHold::~MutexHold() {
    if (held_) {
        ::ReleaseMutex(mutex_);
    }
    if (mutex_ != nullptr) {
        ::CloseHandle(mutex_);
    }
}

} // namespace kelvane
