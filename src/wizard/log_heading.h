#pragma once
// The dash lines of the progress log: a full line of dashes, or a heading
// centred between dashes, sized to the log's width in pixels.

#include <functional>
#include <string>

namespace wizard {

// available: the width a line may take; dashWidth: the width of "-";
// measure: the width of a text. An empty text gives a full line of dashes; a
// heading gets one blank on each side and the dashes split around it, the odd
// one after. A heading wider than the line gets no dashes. Ends with "\r\n".
std::wstring dashedLine(const std::wstring& text, int available, int dashWidth,
                        const std::function<int(const std::wstring&)>& measure);

} // namespace wizard
