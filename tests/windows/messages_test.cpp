#include "support/messages.h"

#include "support/library_init.h"
#include "support/providers.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring systemText(DWORD code) {
    wchar_t buffer[512] = {};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         0, buffer, 512, nullptr);
    return std::wstring(buffer, length);
}

TEST(ErrorText, SystemTextOfErrorBusyWithoutLineEnd) {
    const std::wstring raw = systemText(ERROR_BUSY);
    ASSERT_FALSE(raw.empty());
    ASSERT_EQ(raw.back(), L'\n') << "the system text ends with a line break";
    const std::wstring text = tw::errorText(ERROR_BUSY);
    EXPECT_EQ(raw.substr(0, raw.find_last_not_of(L"\r\n") + 1), text);
}

TEST(ErrorText, CustomerCodeNamingNoStringIsTheTextOfEFail) {
    EXPECT_EQ(tw::errorText(static_cast<std::int32_t>(0x2800FFF0)), tw::errorText(E_FAIL));
    EXPECT_NE(tw::errorText(E_FAIL), L"Error");
}

TEST(ErrorText, CustomerCodeNamingAnApplicationString) {
    // 2000 is the English "Installer" of the string tables the tests carry.
    EXPECT_EQ(tw::errorText(static_cast<std::int32_t>(0x280007D0)), L"Installer");
}

// What a message box looked like when it appeared on the thread under test.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    HICON icon = nullptr;
};

HICON iconOf(HWND box) {
    HICON icon = nullptr;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                *reinterpret_cast<HICON*>(found) =
                    reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

// Watches the thread under test for a message box, records it and presses
// the given button; gives up after 20 seconds or when stopped.
class MessageBoxWatcher : public testing_support::DialogWatcher {
public:
    explicit MessageBoxWatcher(int button)
        : DialogWatcher(
              [thread = ::GetCurrentThreadId()](HWND box) {
                  return ::GetWindowThreadProcessId(box, nullptr) == thread;
              },
              [this, button](HWND box) {
                  box_.caption = testing_support::windowText(box);
                  box_.text = testing_support::windowText(::GetDlgItem(box, 0xFFFF));
                  box_.icon = iconOf(box);
                  testing_support::pressButton(box, button);
              }) {}

    const SeenBox& box() const { return box_; }

private:
    SeenBox box_;
};

class ShowMessage : public testing::Test {
protected:
    static void SetUpTestSuite() { tw::details::initialize_mfc_lib(); }
    void TearDown() override {
        tw::providers().silentMode = nullptr;
        tw::providers().applicationName = nullptr;
    }
};

TEST_F(ShowMessage, StyleZeroGetsTheExclamationIconAndTheApplicationName) {
    tw::providers().applicationName = [] { return L"Installer \u2013 Kelvane 3.00g"; };
    MessageBoxWatcher watcher(IDOK);
    EXPECT_EQ(tw::showMessage(L"plain text", 0), IDOK);
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(watcher.box().caption, L"Installer \u2013 Kelvane 3.00g");
    EXPECT_EQ(watcher.box().text, L"plain text");
    EXPECT_EQ(watcher.box().icon, ::LoadIconW(nullptr, IDI_EXCLAMATION));
}

TEST_F(ShowMessage, YesNoGetsTheQuestionIcon) {
    MessageBoxWatcher watcher(IDNO);
    EXPECT_EQ(tw::showMessage(L"really?", MB_YESNO), IDNO);
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(watcher.box().icon, ::LoadIconW(nullptr, IDI_QUESTION));
}

TEST_F(ShowMessage, GivenCaptionWins) {
    MessageBoxWatcher watcher(IDOK);
    tw::showMessage(L"text", MB_OK | MB_ICONINFORMATION, L"Own caption");
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(watcher.box().caption, L"Own caption");
    EXPECT_EQ(watcher.box().icon, ::LoadIconW(nullptr, IDI_INFORMATION));
}

TEST_F(ShowMessage, SilentModeAnswersOkWithoutAWindow) {
    tw::providers().silentMode = [] { return true; };
    MessageBoxWatcher watcher(IDCANCEL); // closes a box that should not be there
    EXPECT_EQ(tw::showMessage(L"nobody sees this", MB_OK), IDOK);
    watcher.stop();
    EXPECT_FALSE(watcher.seen());
}

TEST_F(ShowMessage, SilentModeNeverSilencesAQuestion) {
    tw::providers().silentMode = [] { return true; };
    MessageBoxWatcher watcher(IDYES);
    EXPECT_EQ(tw::showMessage(L"a question", MB_YESNO), IDYES);
    EXPECT_TRUE(watcher.seen());
}

} // namespace
