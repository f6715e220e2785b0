#pragma once
// Dialogs from templates: modal ones with their own message loop, and child
// dialogs (the wizard's pages) inside another dialog.
//
// The dialog procedure stores `this` at WM_INITDIALOG and forwards messages to
// members. No exception crosses it: a handler that throws is reported through
// the application object and the message counts as handled.

#include "ui/control.h"

#include <windows.h>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace ui {

class DataExchange;

class Dialog {
public:
    explicit Dialog(UINT templateId) noexcept
        : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns the value given to EndDialog, or -1
    // when the dialog could not be created.
    INT_PTR DoModal(HWND parent);

    // Creates the dialog as a modeless child of parent (hidden unless its
    // template says otherwise). Returns false when it could not be created.
    bool Create(HWND parent);

    void EndDialog(INT_PTR result);

    HWND hwnd() const noexcept { return window_; }
    Control item(int id) const { return Control(::GetDlgItem(window_, id)); }
    void setItemText(int id, const std::wstring& text) const { item(id).setText(text); }

    // Moves data between the controls and the members: towards the members
    // with validation when save is true. False when a validation failed; the
    // user has then been told and the failing control has the focus.
    bool UpdateData(bool save);

protected:
    // The framework's initialisation: the load data exchange. Returns TRUE to
    // let the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange&) {}
    // The OK command: save with validation, then end with IDOK.
    virtual void OnOK();
    // The Cancel command (also Escape and the close box): end with IDCANCEL.
    virtual void OnCancel();
    // Messages without a bound handler; nullopt lets the system handle them.
    virtual std::optional<INT_PTR> handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Calls handler when control id sends the notification code in WM_COMMAND.
    void OnCommand(int id, WORD code, std::function<void()> handler);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool dispatchCommand(int id, WORD code);

    UINT templateId_;
    HWND window_ = nullptr;
    bool modal_ = false;
    std::map<std::pair<int, WORD>, std::function<void()>> commands_;
};

} // namespace ui
