#pragma once
// Errors of the maker's library, and the one place where an exception becomes
// the code the user is shown.
//
// A Windows error is raised as std::system_error in the system category. Its
// value is the code as the system gave it: a Win32 error number (the last
// error, an LSTATUS) or an HRESULT; the system's message tables know both.
// The helpers below check the usual shapes of a Win32 call and raise: a call
// that reports failure through GetLastError raises with throwLastError.
//
// The security wrappers (security_api.h and what is built on them) and the
// handler of the compiler's COM support raise the library's own error value
// instead, tw::error, carrying a 32-bit HRESULT or error number. It is kept
// apart from std::system_error on purpose: the extraction shows the code of a
// standard system error but reports any other exception as its "unexpected"
// code, so a data file whose rights cannot be granted must keep failing with
// that code rather than with the HRESULT.
//
// "Not there" is never an error; it is an empty or false result.

#include <cstdint>
#include <exception>

namespace tw {

constexpr std::int32_t E_UNEXPECTED_CODE = static_cast<std::int32_t>(0x8000FFFF);
constexpr std::int32_t E_NOTIMPL_CODE = static_cast<std::int32_t>(0x80004001);
constexpr std::int32_t E_FAIL_CODE = static_cast<std::int32_t>(0x80004005);
constexpr std::int32_t E_OUTOFMEMORY_CODE = static_cast<std::int32_t>(0x8007000E);

// The library's error value: an exception that carries a 32-bit code.
class error : public std::exception {
public:
    explicit error(std::int32_t code) noexcept
        : code_(code) {}
    std::int32_t code() const noexcept { return code_; }
    const char* what() const noexcept override { return "tw::error"; }

private:
    std::int32_t code_;
};

// HRESULT_FROM_WIN32: a code c >= 1 becomes 0x80070000 | (c & 0xFFFF); a code
// below 1 is returned unchanged.
constexpr std::int32_t hresultFromWin32(std::int32_t code) noexcept {
    if (code < 1) {
        return code;
    }
    return static_cast<std::int32_t>(0x80070000u | (static_cast<std::uint32_t>(code) & 0xFFFFu));
}

// Raises the code (a Win32 error number or an HRESULT) as std::system_error
// in the system category, with no message of its own.
[[noreturn]] void throwWin32Error(std::int32_t code);
// The same, with what (what failed) in front of the system's message.
[[noreturn]] void throwWin32Error(std::int32_t code, const char* what);

// Raises the calling thread's last error (GetLastError), as a call that
// reports failure through it leaves it, with what in front of the message.
// Windows only (last_error.cpp).
[[noreturn]] void throwLastError(const char* what);

// Raises a status that is not ERROR_SUCCESS (0), as the registry calls answer.
inline void throwIfWin32Failed(std::int32_t status) {
    if (status != 0) {
        throwWin32Error(status);
    }
}

// Raises an HRESULT that reports failure (negative).
inline void throwIfFailed(std::int32_t hr) {
    if (hr < 0) {
        throwWin32Error(hr);
    }
}

// The code the user is shown for an exception that ended an operation: the
// code of the library's error value; HRESULT_FROM_WIN32 of a system error of
// the system category (an HRESULT stays as it is); E_OUTOFMEMORY when memory
// ran out; E_UNEXPECTED for anything else.
std::int32_t userCode(const std::exception_ptr& failure) noexcept;

} // namespace tw
