#include "support/error.h"

#include <new>
#include <system_error>

namespace tw {

void throwWin32Error(std::int32_t code) {
    throw std::system_error(static_cast<int>(code), std::system_category());
}

void throwWin32Error(std::int32_t code, const char* what) {
    throw std::system_error(static_cast<int>(code), std::system_category(), what);
}

std::int32_t userCode(const std::exception_ptr& failure) noexcept {
    if (!failure) {
        return E_UNEXPECTED_CODE;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const error& known) {
        return known.code();
    } catch (const std::system_error& known) {
        if (known.code().category() == std::system_category()) {
            return hresultFromWin32(known.code().value());
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY_CODE;
    } catch (...) {
    }
    return E_UNEXPECTED_CODE;
}

} // namespace tw
