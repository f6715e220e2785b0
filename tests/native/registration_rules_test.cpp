#include "install/registration_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(RegistrationArguments, FreshInstallation) {
    EXPECT_EQ(registrationArguments(0), L" /Register /Background");
}

TEST(RegistrationArguments, UpdateNamesTheEarlierVersionInSixteenDigits) {
    EXPECT_EQ(registrationArguments(0x0003000000050000ull),
              L" /Register /Background /update=0003000000050000");
    EXPECT_EQ(registrationArguments(0x00020009000900ABull),
              L" /Register /Background /update=00020009000900ab");
}

} // namespace
