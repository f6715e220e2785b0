#pragma once
// The errors of the payload's extraction: the "compress" error category, the
// error code of any exception that ends an extraction, and the form in which a
// code is shown to the user. The category (compress_error.cpp) is apart from
// the rest (failure_codes.cpp), so that a program that only raises compress
// errors, as the uninstaller's destination resolver does, links neither
// Boost's bzip2 filter and the stream library's failure it derives from, nor
// the C runtime's formatted printing.

#include <exception>
#include <string>
#include <system_error>

namespace payload {

enum class compress_errc {
    invalid_checksum = 3, // a written file's CRC-32 differs from its entry's
    unknown = 4,          // the payload resource is missing, empty or invalid
    interrupted = 5,      // the observer answered abort
    bzip2 = 6,            // corrupt compressed data
    unexpected = 7,       // a malformed archive, a missing shell folder, anything else
};

// The category named "compress"; an unlisted code reads "unknown error".
const std::error_category& compress_category() noexcept;

std::error_code make_error_code(compress_errc code) noexcept;

// Raises std::system_error with that code of the compress category.
[[noreturn]] void raise(compress_errc code);

// Raises the decompressor's error of corrupt compressed data (code 6).
[[noreturn]] void throwCorruptData();

// The error code of an exception, first match wins: a bzip2 error of the
// decompressor gives 6 (it is a stream failure as well); another stream
// failure with a non-zero code gives that code; a standard system error
// (file-system errors included) gives its code; a Boost system error of
// Boost's system or generic category gives its value in the standard system
// or generic category; anything else gives 7.
std::error_code errorCodeOf(const std::exception_ptr& failure) noexcept;

// The path of a file-system error of the extraction (file_error.h); empty for
// any other exception.
std::wstring filesystemErrorPath(const std::exception_ptr& failure);

// The code as the status line shows it: "1:" and eight upper-case hexadecimal
// digits for a Windows error (the standard system category), "2:" and eight
// digits for the standard generic category, the decimal value for the compress
// category, and "7" for any other category.
std::wstring displayErrorCode(const std::error_code& code);

} // namespace payload

template <>
struct std::is_error_code_enum<payload::compress_errc> : std::true_type {};
