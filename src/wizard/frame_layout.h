#pragma once
// How the frame fits its pages: every page is placed at the top-left corner of
// the page area; the frame grows until the largest page fits, and every page
// then takes the same size.

#include <vector>

namespace wizard {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct FrameLayout {
    int dx = 0;              // how much wider the frame and its page area become
    int dy = 0;              // how much taller
    Rect pageRect;           // the rectangle every page gets
    std::vector<int> pageDx; // per page: its growth in width, for its Relayout
    std::vector<int> pageDy; // per page: its growth in height
};

// pageArea: the client area right of the picture column and above the
// separator; pageSizes: each page's rectangle as created (only its size counts).
FrameLayout layoutPages(const Rect& pageArea, const std::vector<Rect>& pageSizes);

} // namespace wizard
