#include "support/error.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <system_error>

namespace {

using tw::userCode;

std::exception_ptr thrown(const std::function<void()>& raise) {
    try {
        raise();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

struct UserCodeCase {
    const char* name;
    std::function<void()> raise;
    std::int32_t code;
};

class UserCodeTest : public testing::TestWithParam<UserCodeCase> {};

TEST_P(UserCodeTest, IsTheCodeTheUserIsShown) {
    EXPECT_EQ(userCode(thrown(GetParam().raise)), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Exceptions, UserCodeTest,
    testing::Values(
        UserCodeCase{"ErrorValue", [] { throw tw::error(170); }, 170},
        UserCodeCase{"Win32Error", [] { tw::throwWin32Error(5); },
                     static_cast<std::int32_t>(0x80070005)},
        UserCodeCase{"Hresult", [] { tw::throwIfFailed(tw::E_NOTIMPL_CODE); }, tw::E_NOTIMPL_CODE},
        UserCodeCase{"RegistryStatus", [] { tw::throwIfWin32Failed(2); },
                     static_cast<std::int32_t>(0x80070002)},
        UserCodeCase{"GenericCategory",
                     [] { throw std::system_error(make_error_code(std::errc::io_error)); },
                     tw::E_UNEXPECTED_CODE},
        UserCodeCase{"OutOfMemory", [] { throw std::bad_alloc(); }, tw::E_OUTOFMEMORY_CODE},
        UserCodeCase{"OtherException", [] { throw std::runtime_error("x"); },
                     tw::E_UNEXPECTED_CODE},
        UserCodeCase{"NotAnException", [] { throw 42; }, tw::E_UNEXPECTED_CODE},
        UserCodeCase{"Nothing", [] {}, tw::E_UNEXPECTED_CODE}),
    [](const testing::TestParamInfo<UserCodeCase>& param) { return param.param.name; });

TEST(ThrowHelpers, SuccessRaisesNothing) {
    EXPECT_NO_THROW(tw::throwIfWin32Failed(0));
    EXPECT_NO_THROW(tw::throwIfFailed(0));
    EXPECT_NO_THROW(tw::throwIfFailed(1)) << "S_FALSE is a success";
}

} // namespace
