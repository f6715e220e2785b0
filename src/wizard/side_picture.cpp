#include "wizard/side_picture.h"

#include "res/resource.h"

#include <array>

namespace wizard {

namespace {

struct Scaling {
    int dpi;
    int picture;
};

// 100, 125, 150, 175 and 200 % of 96 dpi.
constexpr std::array<Scaling, 5> scalings{{{96, IDB_SIDE_PICTURE},
                                           {120, IDB_SIDE_PICTURE_125},
                                           {144, IDB_SIDE_PICTURE_150},
                                           {168, IDB_SIDE_PICTURE_175},
                                           {192, IDB_SIDE_PICTURE_200}}};

} // namespace

int sidePictureFor(int dpi) {
    for (const Scaling& scaling : scalings) {
        if (dpi <= scaling.dpi) {
            return scaling.picture;
        }
    }
    return scalings.back().picture;
}

} // namespace wizard
