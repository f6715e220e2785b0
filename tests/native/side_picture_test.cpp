#include "wizard/side_picture.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

struct PictureCase {
    int dpi;
    int picture;
};

class SidePicture : public testing::TestWithParam<PictureCase> {};

// The picture drawn for the display's DPI, the next larger one between two
// scalings, the largest beyond 200 %.
TEST_P(SidePicture, IsTheOneForTheDpiOrTheNextLarger) {
    EXPECT_EQ(wizard::sidePictureFor(GetParam().dpi), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(
    Scalings, SidePicture,
    testing::Values(PictureCase{72, IDB_SIDE_PICTURE}, PictureCase{96, IDB_SIDE_PICTURE},
                    PictureCase{97, IDB_SIDE_PICTURE_125}, PictureCase{120, IDB_SIDE_PICTURE_125},
                    PictureCase{144, IDB_SIDE_PICTURE_150}, PictureCase{150, IDB_SIDE_PICTURE_175},
                    PictureCase{168, IDB_SIDE_PICTURE_175}, PictureCase{192, IDB_SIDE_PICTURE_200},
                    PictureCase{288, IDB_SIDE_PICTURE_200}));

} // namespace
