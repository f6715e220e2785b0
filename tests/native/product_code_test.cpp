#include "support/product_code.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using tw::productKeyName;

TEST(ProductKeyName, NamesOfFamilyOne) {
    EXPECT_EQ(productKeyName(0x103), L"Kelvane 3");
    EXPECT_EQ(productKeyName(0x102), L"Kelvane 2");
    EXPECT_EQ(productKeyName(0x101), L"Kelvane");
    EXPECT_EQ(productKeyName(0x050), L"Kelvane");
    EXPECT_EQ(productKeyName(0x002), L"Kelvane");
}

TEST(ProductKeyName, CodesWithoutANameAreALogicError) {
    for (const std::uint16_t code : {0x000, 0x001, 0x104, 0x1FF, 0x203, 0xFFFF}) {
        try {
            productKeyName(static_cast<std::uint16_t>(code));
            ADD_FAILURE() << "no error for code " << code;
        } catch (const std::logic_error& failure) {
            EXPECT_EQ(std::string(failure.what()), "logic error");
        }
    }
}

TEST(ProductKeyName, CurrentProductCode) {
    tw::setProductCode(0x103);
    EXPECT_EQ(tw::ProductCode(), 0x103);
    EXPECT_EQ(productKeyName(), L"Kelvane 3");
}

} // namespace
