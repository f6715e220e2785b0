#pragma once
// The security identifiers the maker's programs name by a selector.

#include "support/security_api.h"

#include <vector>

namespace tw {

// Selectors of WellKnownSid.
enum SidSelector : int {
    EveryoneSid = 0,           // S-1-1-0; also every selector not listed here
    AdministratorsSid = 1,     // S-1-5-32-544
    UsersSid = 2,              // S-1-5-32-545
    AuthenticatedUsersSid = 3, // S-1-5-11
    CurrentAccountSid = 4,     // the current user's account, by name
    TokenUserSid = 5,          // the user of the thread's token, else the process token
};

// Owns one SID built from a selector: one the system allocated is freed with
// FreeSid, a copied one with the ordinary allocator. Raises tw::error when the
// SID cannot be built (E_UNEXPECTED when the current user's name is not a user
// account).
class WellKnownSid {
public:
    explicit WellKnownSid(int selector);

    PSID get() const noexcept {
        return allocated_ ? allocated_.get() : const_cast<BYTE*>(copied_.data());
    }
    DWORD length() const { return getLengthSid(get()); }

private:
    unique_sid allocated_;
    std::vector<BYTE> copied_;
};

} // namespace tw
