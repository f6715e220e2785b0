#include "support/product_code.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ProductKeyName, NamesThisProductAndItsFamily) {
    EXPECT_EQ(tw::productKeyName(0x103), L"Kelvane 3");
    EXPECT_EQ(tw::productKeyName(0x102), L"Kelvane 2");
    EXPECT_EQ(tw::productKeyName(0x101), L"Kelvane");
    EXPECT_EQ(tw::productKeyName(0x050), L"Kelvane");
    EXPECT_EQ(tw::productKeyName(0x002), L"Kelvane");
}

TEST(ProductKeyName, CodesWithoutANameRaiseTheLogicError) {
    for (const std::uint16_t code : {0x000, 0x001, 0x104, 0x1FF, 0x203}) {
        try {
            tw::productKeyName(code);
            ADD_FAILURE() << "no error for " << code;
        } catch (const std::logic_error& failure) {
            EXPECT_STREQ(failure.what(), "logic error");
        }
    }
}

TEST(ProductKeyName, FollowsTheCurrentProductCode) {
    tw::setProductCode(0x103);
    EXPECT_EQ(tw::ProductCode(), 0x103);
    EXPECT_EQ(tw::productKeyName(), L"Kelvane 3");
}

} // namespace
