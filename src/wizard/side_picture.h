#pragma once
// Which side picture the frame shows: each is drawn for one display scaling,
// to fill the picture's place at that scaling without being stretched.

namespace wizard {

// The bitmap resource for a display of that many dots per inch: the one drawn
// for it, else the next larger one (the largest beyond 200 %).
int sidePictureFor(int dpi);

} // namespace wizard
