#pragma once
// Dialog data exchange: each DDX_ function moves one value between a control
// and a member, in the direction the exchange says; DDV_ functions validate
// in the save direction and make the exchange fail.

#include "ui/control.h"

#include <exception>
#include <string>

namespace ui {

class Dialog;

// Thrown by DataExchange::Fail; Dialog::UpdateData turns it into false.
struct ValidationFailed : std::exception {
    const char* what() const noexcept override { return "validation failed"; }
};

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saving) noexcept
        : dialog_(dialog)
        , saving_(saving) {}

    bool saving() const noexcept { return saving_; }
    Dialog& dialog() const noexcept { return dialog_; }

    // The control that the next validation refers to.
    HWND prepareControl(int id);
    HWND lastControl() const noexcept { return lastControl_; }

    // Gives the last prepared control the focus (selecting an edit box's
    // text) and ends the exchange as failed.
    [[noreturn]] void Fail();

private:
    Dialog& dialog_;
    bool saving_;
    HWND lastControl_ = nullptr;
    bool lastIsEdit_ = false;
};

void DDX_Control(DataExchange& exchange, int id, Control& control);
void DDX_Text(DataExchange& exchange, int id, std::wstring& value);
// Load: limits the edit box to maxChars. Save: a longer value is refused with
// the framework's message.
void DDV_MaxChars(DataExchange& exchange, const std::wstring& value, int maxChars);
void DDX_Check(DataExchange& exchange, int id, int& value);
// The index of the checked button of the radio group that starts at id, -1 for none.
void DDX_Radio(DataExchange& exchange, int id, int& value);

} // namespace ui
