#include "wizard/end_page.h"

#include "app/install_app.h"
#include "install/format_text.h"
#include "install/text_ids.h"
#include "install/texts.h"
#include "res/resource.h"
#include "ui/data_exchange.h"

CDlgEnd::CDlgEnd()
    : ui::Dialog(IDD_END) {}

void CDlgEnd::DoDataExchange(ui::DataExchange& exchange) {
    if (!exchange.saving() && theApp().installSucceeded) {
        setItemText(IDC_END_RESULT, LoadText(text::installationComplete));
    }
}

void CDlgEnd::SetTexts() {
    setItemText(IDC_END_RESULT, L"");
    setItemText(IDC_STATUS, formatText(LoadText(text::clickToExit), {LoadText(text::exit)}));
}

void CDlgEnd::Relayout(int dx, int dy) {
    item(IDC_END_RESULT).grow(dx, dy);
    item(IDC_STATUS).grow(dx, 0);
    item(IDC_STATUS).offset(0, dy);
}
