#pragma once
// The error value of the maker's library: an exception that carries a 32-bit
// code, either an HRESULT or a plain Windows error number, as the raising
// code documents. "Not there" is never an error; it is an empty result.

#include <cstdint>
#include <exception>

namespace tw {

constexpr std::int32_t E_UNEXPECTED_CODE = static_cast<std::int32_t>(0x8000FFFF);
constexpr std::int32_t E_NOTIMPL_CODE = static_cast<std::int32_t>(0x80004001);
constexpr std::int32_t E_FAIL_CODE = static_cast<std::int32_t>(0x80004005);
constexpr std::int32_t E_OUTOFMEMORY_CODE = static_cast<std::int32_t>(0x8007000E);

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

} // namespace tw
