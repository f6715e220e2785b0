#include "wizard/page_texts.h"

#include "app/format_text.h"
#include "app/texts.h"

std::wstring ContinueStatus() {
    return FormatText(LoadText(1106), {LoadText(1006)});
}
