#pragma once
// The administrator check of the start-up and the privileges around saving
// and restoring registry keys.

// Whether the caller's token (the thread's impersonation token, else the
// process token) has the Administrators group enabled. False also when the
// membership cannot be asked.
bool IsAdministrator();

// Enables or disables one privilege of the process token ("SeBackupPrivilege",
// "SeRestorePrivilege"), changing no other attribute bit of it. True when the
// privilege now has the requested state; false when the token does not hold
// it (last error ERROR_NOT_ALL_ASSIGNED) or another call fails (its last error).
bool SetPrivilege(const wchar_t* privilege, bool enable);

// Enables a privilege of the process token for as long as it lives, then
// disables it, so that it is never left enabled between the calls that need
// it. Enabling is best effort: without the privilege those calls fail by
// themselves.
class EnabledPrivilege {
public:
    explicit EnabledPrivilege(const wchar_t* privilege)
        : privilege_(privilege) {
        SetPrivilege(privilege_, true);
    }
    ~EnabledPrivilege() { SetPrivilege(privilege_, false); }
    EnabledPrivilege(const EnabledPrivilege&) = delete;
    EnabledPrivilege& operator=(const EnabledPrivilege&) = delete;

private:
    const wchar_t* privilege_;
};
