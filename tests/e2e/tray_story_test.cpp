// The notification-area icon of the real program, with a stand-in for the
// notification area: Wine's Shell_NotifyIconW sends each call as WM_COPYDATA
// to the first top-level "Shell_TrayWnd" window, dwData the NIM_ code, the
// data Wine's own record of the call followed by the icon's mask and colour
// bits. The stand-in records them and answers as the shell does, by posting
// the callback message in version 4's packing.
#include "tests/support/harness.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

using namespace vgtest;

namespace {

struct WineNotifyRecord {
    LONG hWnd;
    UINT uID, uFlags, uCallbackMessage;
    WCHAR szTip[128];
    DWORD dwState, dwStateMask;
    WCHAR szInfo[256];
    UINT uVersion;
    WCHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    UINT width, height, planes, bpp;
};

struct Sent {
    DWORD message;
    WineNotifyRecord record;
    std::vector<std::uint32_t> pixels;  // top-down rows of 0xAARRGGBB
};

// The notification area, on a thread of this process with its own loop.
class TrayStandIn {
public:
    TrayStandIn() = default;
    TrayStandIn(const TrayStandIn&) = delete;
    TrayStandIn& operator=(const TrayStandIn&) = delete;
    ~TrayStandIn() { Stop(); }

    void Start() {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Proc;
            wc.lpszClassName = L"Shell_TrayWnd";
            RegisterClassW(&wc);
            window_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, nullptr, nullptr);
            SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            SetEvent(ready);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        });
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
    }
    void Stop() {  // as a shell that ends: its window goes, and what it was sent
        if (!thread_.joinable()) return;
        PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
        std::lock_guard<std::mutex> lock(mutex_);
        log_.clear();
    }
    std::vector<Sent> Log() {
        std::lock_guard<std::mutex> lock(mutex_);
        return log_;
    }
    // Waits for the count-th record (from 1) and returns it.
    bool WaitFor(size_t count, Sent& sent) {
        return WaitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex_);
            if (log_.size() < count) return false;
            sent = log_[count - 1];
            return true;
        });
    }

private:
    static LRESULT CALLBACK Proc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TrayStandIn*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (message == WM_COPYDATA && self) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            Sent sent = {static_cast<DWORD>(data->dwData), {}, {}};
            const auto* bytes = static_cast<const char*>(data->lpData);
            std::memcpy(&sent.record, bytes, sizeof(sent.record));
            const WineNotifyRecord& r = sent.record;
            const size_t mask = (r.width * r.height + 15) / 16 * 2, colour = r.width * r.height;
            if (r.bpp == 32 && data->cbData == sizeof(r) + mask + colour * 4) {
                sent.pixels.resize(colour);
                std::memcpy(sent.pixels.data(), bytes + sizeof(r) + mask, colour * 4);
            }
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->log_.push_back(sent);
            return TRUE;
        }
        if (message == WM_CLOSE) {
            DestroyWindow(w);
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(w, message, wParam, lParam);
    }

    std::thread thread_;
    HWND window_ = nullptr;
    std::mutex mutex_;
    std::vector<Sent> log_;
};

constexpr UINT kTrayMessage = WM_APP + 3;

// What the shell posts for a click or a key on the icon, with its anchor.
void IconEvent(const VitalGauge& app, UINT event, int x, int y) {
    Sh("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    PostMessageW(app.listener, kTrayMessage, MAKEWPARAM(x, y), MAKELPARAM(event, 1));
}

HWND WaitMenu(const VitalGauge& app) {
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindProcessWindow(app.process.Id(), L"#32768", true)); });
    return menu;
}

bool Announce() {  // a new shell's broadcast
    return PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
}

// The rows of the icon's RAM bar (its second) in the widgets' default teal.
int TealRows(const Sent& sent) {
    int rows = 0;
    const UINT side = sent.record.width;
    for (UINT y = 0; y < side && !sent.pixels.empty(); ++y)
        rows += sent.pixels[y * side + side / 2] == 0xFF009688;
    return rows;
}

TEST(Story, TheIconInTheNotificationArea) {
    DeleteKey();
    const wchar_t personalize[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    SetDword(L"SystemUsesLightTheme", 0, personalize);
    TrayStandIn tray;
    tray.Start();
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND front = GetForegroundWindow();

    // Added by the listener's window and number, no GUID, then version 4.
    Sent add, version, first;
    ASSERT_TRUE(tray.WaitFor(1, add) && tray.WaitFor(2, version));
    const WineNotifyRecord& r = add.record;
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
    EXPECT_EQ(HandleToLong(app.listener), r.hWnd);
    EXPECT_EQ(1u, r.uID);
    EXPECT_EQ(kTrayMessage, r.uCallbackMessage);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), r.uFlags & 7);
    EXPECT_EQ(GUID{}, r.guidItem);
    EXPECT_EQ((std::vector<UINT>{16, 16, 32}), (std::vector<UINT>{r.width, r.height, r.bpp}));
    int ram = -1;
    double used = 0, total = 0;
    ASSERT_EQ(3, swscanf(r.szTip, L"CPU \u2013\nRAM %d %% \u00B7 %lf of %lf GB\nSwap ", &ram, &used,
                         &total))
        << r.szTip;
    MEMORYSTATUSEX status = {sizeof status, 0, 0, 0, 0, 0, 0, 0, 0};
    GlobalMemoryStatusEx(&status);
    EXPECT_NEAR(status.ullTotalPhys / 1073741824.0, total, 0.05);
    EXPECT_NEAR(ram * 16 / 100.0, TealRows(add), 1.0) << "the RAM bar shows its " << ram << " %";
    EXPECT_EQ(ram > 0, TealRows(add) > 0) << ram;
    EXPECT_EQ(0x8CFFFFFFu, add.pixels[0]) << "the track, on a dark taskbar";
    EXPECT_EQ(static_cast<DWORD>(NIM_SETVERSION), version.message);
    EXPECT_EQ(4u, version.record.uVersion);
    // The processor's first figure: 0 % under Wine, whose bar is as empty as
    // a dash's, so only the tip changes.
    ASSERT_TRUE(tray.WaitFor(3, first));
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), first.message);
    EXPECT_EQ(0u, wcsncmp(first.record.szTip, L"CPU 0 %\n", 8)) << first.record.szTip;
    EXPECT_EQ(static_cast<UINT>(NIF_TIP), first.record.uFlags & 7);

    // A light taskbar: the icon is drawn again with a dark track.
    SetDword(L"SystemUsesLightTheme", 1, personalize);
    SendMessageTimeoutW(app.listener, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_NORMAL, 5000, nullptr);
    EXPECT_TRUE(WaitUntil([&] {
        const std::vector<Sent> log = tray.Log();
        return !log.back().pixels.empty() && log.back().pixels[0] == 0x73000000;
    }));
    EXPECT_EQ(front, GetForegroundWindow()) << "nothing but the icon's events takes it";

    // The keyboard's event opens the icon's menu at its anchor; "Show icon
    // in the notification area" takes the icon away and stores the choice.
    IconEvent(app, NIN_KEYSELECT, 600, 500);
    HWND menu = WaitMenu(app);
    ASSERT_TRUE(menu);
    EXPECT_EQ(600, ScreenRect(menu).left);
    Keys("Down Down Down Down Return");
    EXPECT_TRUE(WaitUntil([&] { return tray.Log().back().message == NIM_DELETE; }));
    EXPECT_TRUE(WaitUntil([] { return DwordIn(ReadKey(), L"NotificationIcon") == 0; }));

    // The widgets' menu has the switch too, right after "Settings...".
    ASSERT_TRUE(app.OpenMenu(app.ram));
    Keys("Down Down Down Down Down Down Down Down Return");
    EXPECT_TRUE(WaitUntil([&] { return tray.Log().back().message == NIM_SETVERSION; }));
    EXPECT_TRUE(WaitUntil([] { return ReadKey().count(L"NotificationIcon") == 0; }));

    // A right-click opens it too; Escape sends nothing.
    const size_t sent = tray.Log().size();
    IconEvent(app, WM_CONTEXTMENU, 400, 300);
    menu = WaitMenu(app);
    ASSERT_TRUE(menu);
    Keys("Escape");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
    const std::vector<Sent> after = tray.Log();
    for (size_t i = sent; i < after.size(); ++i)
        EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), after[i].message) << "only a tick's news";

    // The shell restarts: its new notification area gets the icon again.
    tray.Stop();
    tray.Start();
    ASSERT_TRUE(Announce());
    ASSERT_TRUE(tray.WaitFor(1, add));
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);

    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), tray.Log().back().message) << "no ghost";

    // A start before the taskbar: the icon comes with its announcement. Exit
    // from the icon's menu (a left click) takes it away.
    tray.Stop();
    ASSERT_TRUE(app.Start());
    tray.Start();
    ASSERT_TRUE(Announce());
    ASSERT_TRUE(tray.WaitFor(1, add));
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
    IconEvent(app, NIN_SELECT, 600, 500);
    ASSERT_TRUE(WaitMenu(app));
    Keys("Down Down Down Down Down Return");
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), tray.Log().back().message);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, personalize, L"SystemUsesLightTheme");
}

}  // namespace
