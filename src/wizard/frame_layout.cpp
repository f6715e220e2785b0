#include "wizard/frame_layout.h"

#include <algorithm>

namespace wizard {

FrameLayout layoutPages(const Rect& pageArea, const std::vector<Rect>& pageSizes) {
    Rect all = pageArea;
    for (const Rect& page : pageSizes) {
        all.right = std::max(all.right, pageArea.left + page.width());
        all.bottom = std::max(all.bottom, pageArea.top + page.height());
    }
    FrameLayout layout;
    layout.dx = all.width() - pageArea.width();
    layout.dy = all.height() - pageArea.height();
    layout.pageRect = all;
    for (const Rect& page : pageSizes) {
        layout.pageDx.push_back(all.width() - page.width());
        layout.pageDy.push_back(all.height() - page.height());
    }
    return layout;
}

} // namespace wizard
