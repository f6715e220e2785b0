#include "payload/compress_error.h"

#include "payload/file_error.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/system/system_error.hpp>

#include <cstdio>
#include <ios>

namespace payload {

namespace {

std::wstring hex8(const char* prefix, int value) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%s%08X", prefix, static_cast<unsigned>(value));
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

} // namespace

void throwCorruptData() {
    throw boost::iostreams::bzip2_error(boost::iostreams::bzip2::data_error);
}

std::error_code errorCodeOf(const std::exception_ptr& failure) noexcept {
    // Boost's bzip2 error is itself a stream failure (with the generic stream
    // code); it is told apart first so that corrupt data reads as code 6.
    try {
        std::rethrow_exception(failure);
    } catch (const boost::iostreams::bzip2_error&) {
        return make_error_code(compress_errc::bzip2);
    } catch (const std::ios_base::failure& streamFailure) {
        if (streamFailure.code()) {
            return streamFailure.code();
        }
    } catch (const std::system_error& systemError) {
        return systemError.code();
    } catch (const boost::system::system_error& boostError) {
        const boost::system::error_code& code = boostError.code();
        if (code.category() == boost::system::system_category()) {
            return {code.value(), std::system_category()};
        }
        if (code.category() == boost::system::generic_category()) {
            return {code.value(), std::generic_category()};
        }
    } catch (...) {
    }
    return make_error_code(compress_errc::unexpected);
}

std::wstring filesystemErrorPath(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const FileError& error) {
        return error.path();
    } catch (...) {
    }
    return {};
}

std::wstring displayErrorCode(const std::error_code& code) {
    if (code.category() == std::system_category()) {
        return hex8("1:", code.value());
    }
    if (code.category() == std::generic_category()) {
        return hex8("2:", code.value());
    }
    if (code.category() == compress_category()) {
        return std::to_wstring(code.value());
    }
    return L"7";
}

} // namespace payload
