#include "wizard/end_page.h"

#include "app/format_text.h"
#include "app/install_app.h"
#include "app/texts.h"
#include "res/resource.h"
#include "ui/data_exchange.h"

CDlgEnd::CDlgEnd()
    : ui::Dialog(IDD_END) {}

void CDlgEnd::DoDataExchange(ui::DataExchange& exchange) {
    if (!exchange.saving() && theApp().installSucceeded) {
        setItemText(IDC_END_RESULT, LoadText(1120));
    }
}

void CDlgEnd::SetTexts() {
    setItemText(IDC_END_RESULT, L"");
    setItemText(IDC_STATUS, FormatText(LoadText(1107), {LoadText(1004)}));
}

void CDlgEnd::Relayout(int dx, int dy) {
    item(IDC_END_RESULT).grow(dx, dy);
    item(IDC_STATUS).grow(dx, 0);
    item(IDC_STATUS).offset(0, dy);
}
