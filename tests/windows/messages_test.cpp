#include "support/messages.h"

#include "support/library_init.h"
#include "support/providers.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

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

// Watches the thread under test for a message box, records it and presses
// the given button; gives up after 20 seconds or when stopped.
class MessageBoxWatcher {
public:
    MessageBoxWatcher(int button)
        : thread_(::GetCurrentThreadId())
        , button_(button) {
        watcher_ = std::thread([this] { watch(); });
    }
    ~MessageBoxWatcher() {
        stop();
        watcher_.join();
    }

    void stop() { stopped_ = true; }
    bool seen() const { return seen_; }
    const SeenBox& box() const { return box_; }

private:
    static BOOL CALLBACK findDialog(HWND window, LPARAM found) {
        wchar_t className[16] = {};
        ::GetClassNameW(window, className, 16);
        if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static BOOL CALLBACK findIcon(HWND child, LPARAM icon) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            *reinterpret_cast<HICON*>(icon) =
                reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
            return FALSE;
        }
        return TRUE;
    }

    void watch() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!stopped_ && std::chrono::steady_clock::now() < deadline) {
            HWND box = nullptr;
            ::EnumThreadWindows(thread_, findDialog, reinterpret_cast<LPARAM>(&box));
            if (box != nullptr) {
                wchar_t text[512] = {};
                ::GetWindowTextW(box, text, 512);
                box_.caption = text;
                ::GetDlgItemTextW(box, 0xFFFF, text, 512);
                box_.text = text;
                ::EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&box_.icon));
                seen_ = true;
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(box, button_)));
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    DWORD thread_;
    int button_;
    std::atomic<bool> seen_{false};
    std::atomic<bool> stopped_{false};
    SeenBox box_;
    std::thread watcher_;
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
