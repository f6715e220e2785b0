#include "support/hex_digits.h"

#include <gtest/gtest.h>

namespace {

struct HexCase {
    std::uint64_t number;
    std::size_t width;
    const wchar_t* text;
};

class LowerHex : public testing::TestWithParam<HexCase> {};

TEST_P(LowerHex, PadsWithZerosToTheWidth) {
    EXPECT_EQ(tw::lowerHex(GetParam().number, GetParam().width), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Numbers, LowerHex,
                         testing::Values(HexCase{0, 1, L"0"}, HexCase{0, 4, L"0000"},
                                         HexCase{0xAB, 1, L"ab"}, HexCase{0x40C, 4, L"040c"},
                                         HexCase{0x12345, 4, L"12345"},
                                         HexCase{0x0003000000050000ull, 16, L"0003000000050000"},
                                         HexCase{0xFFFFFFFFFFFFFFFFull, 16, L"ffffffffffffffff"}));

} // namespace
