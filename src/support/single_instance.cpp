#include "support/single_instance.h"

#include "support/application_id.h"
#include "support/error.h"

#include <cstdint>
#include <vector>

namespace tw {

namespace {

constexpr LONG maximumCount = 0x7FFFFFFF;

// The owner of a SID allocated by the system.
struct sid_traits {
    using type = PSID;
    static type invalid() noexcept { return nullptr; }
    static void close(type sid) noexcept { ::FreeSid(sid); }
};

void check(BOOL succeeded) {
    if (!succeeded) {
        throw error(hresultFromWin32(static_cast<std::int32_t>(::GetLastError())));
    }
}

// Security attributes whose descriptor lets Everyone (S-1-1-0) open the
// object with the access given, and nobody else be refused: one
// access-allowed entry in a list sized exactly for it. Not inheritable.
class EveryoneSecurity {
public:
    explicit EveryoneSecurity(DWORD access) {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        check(::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                         everyone_.put()));
        acl_.resize(::GetLengthSid(everyone_.get()) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) +
                    sizeof(ACL));
        auto* acl = reinterpret_cast<ACL*>(acl_.data());
        check(::InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION));
        check(::AddAccessAllowedAce(acl, ACL_REVISION, access, everyone_.get()));
        check(::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION));
        check(::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE));
        attributes_.nLength = sizeof(attributes_);
        attributes_.lpSecurityDescriptor = &descriptor_;
        attributes_.bInheritHandle = FALSE;
    }

    SECURITY_ATTRIBUTES* attributes() noexcept { return &attributes_; }

private:
    unique_resource<sid_traits> everyone_;
    std::vector<std::uint8_t> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
};

// Creates "Global\" + name with the security of EveryoneSecurity(access);
// the last error stays that of the create call.
template <typename Create>
unique_handle createGlobal(DWORD access, const std::wstring& name, Create create) {
    try {
        const std::wstring fullName = L"Global\\" + name;
        unique_handle handle;
        DWORD createError = 0;
        {
            EveryoneSecurity security(access);
            handle.reset(create(security.attributes(), fullName.c_str()));
            createError = ::GetLastError();
        }
        ::SetLastError(createError);
        return handle;
    } catch (...) {
        ::SetLastError(ERROR_CAN_NOT_COMPLETE);
        return {};
    }
}

bool acquired(DWORD waitResult) noexcept {
    return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED;
}

} // namespace

unique_handle createGlobalMutex(bool initialOwner, const std::wstring& name) {
    return createGlobal(MUTEX_ALL_ACCESS, name,
                        [initialOwner](SECURITY_ATTRIBUTES* attributes, const wchar_t* fullName) {
                            return ::CreateMutexW(attributes, initialOwner, fullName);
                        });
}

unique_handle createGlobalSemaphore(LONG initialCount, LONG maximum, const std::wstring& name) {
    return createGlobal(
        SEMAPHORE_ALL_ACCESS, name,
        [initialCount, maximum](SECURITY_ATTRIBUTES* attributes, const wchar_t* fullName) {
            return ::CreateSemaphoreW(attributes, initialCount, maximum, fullName);
        });
}

NamedMutex::NamedMutex(const std::wstring& name, bool initialOwner, bool global)
    : handle_(global ? createGlobalMutex(initialOwner, name)
                     : unique_handle(::CreateMutexW(nullptr, initialOwner, name.c_str()))) {
    if (!handle_ || !initialOwner || ::GetLastError() != ERROR_ALREADY_EXISTS) {
        owned_ = handle_ && initialOwner;
        return;
    }
    owned_ = acquired(::WaitForSingleObject(handle_.get(), INFINITE));
}

NamedMutex::~NamedMutex() {
    if (owned_) {
        ::ReleaseMutex(handle_.get());
    }
}

bool NamedMutex::tryLock() {
    owned_ = acquired(::WaitForSingleObject(handle_.get(), 0));
    return owned_;
}

void NamedMutex::releaseForLending() {
    ::ReleaseMutex(handle_.get());
    owned_ = false;
}

InstanceCounter::InstanceCounter(const std::wstring& name)
    : handle_(createGlobalSemaphore(0, maximumCount, name)) {
    if (handle_ && ::ReleaseSemaphore(handle_.get(), 1, nullptr)) {
        contribution_ = 1;
    }
}

InstanceCounter::~InstanceCounter() {
    if (contribution_ > 0 && details::takeUnits(handle_.get(), contribution_)) {
        contribution_ = 0;
    } else if (contribution_ < 0 && ::ReleaseSemaphore(handle_.get(), -contribution_, nullptr)) {
        contribution_ = 0;
    }
}

unsigned InstanceCounter::runningCount() const {
    LONG previous = 0;
    if (!::ReleaseSemaphore(handle_.get(), 1, &previous)) {
        return 0;
    }
    ::WaitForSingleObject(handle_.get(), 0);
    return static_cast<unsigned>(previous);
}

InstanceCounter& InstanceCounter::process() {
    static InstanceCounter counter(applicationId() + semaphoreSuffix);
    return counter;
}

unsigned runningCount() {
    return InstanceCounter::process().runningCount();
}

namespace details {

void registerRunningInstance() {
    InstanceCounter::process();
}

bool takeUnits(HANDLE semaphore, LONG units) {
    LONG taken = 0;
    while (taken < units && ::WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0) {
        ++taken;
    }
    if (taken < units && taken > 0) {
        ::ReleaseSemaphore(semaphore, taken, nullptr);
    }
    return taken == units;
}

} // namespace details

} // namespace tw
