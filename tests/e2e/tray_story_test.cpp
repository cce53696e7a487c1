// The notification-area icon of the real program, with a stand-in for the
// notification area: Wine's Shell_NotifyIconW sends each call as WM_COPYDATA
// to the first top-level "Shell_TrayWnd" window, dwData the NIM_ code, the
// data Wine's own record of the call followed by the icon's mask and colour
// bits. The story answers as the shell does, posting the callback message
// in version 4's packing.
#include "tests/support/harness.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

using namespace vgtest;

namespace {

struct WineNotifyRecord {  // the fields read here, and the others' bytes
    LONG hWnd;
    UINT uID, uFlags, uCallbackMessage;
    WCHAR szTip[128];
    BYTE stateAndInfo[4 + 4 + 2 * 256];
    UINT uVersion;
    BYTE infoTitleAndFlags[2 * 64 + 4];
    GUID guidItem;
    UINT width, height, planes, bpp;
};

struct Sent {
    DWORD message;
    WineNotifyRecord record;
    std::vector<std::uint32_t> pixels;  // top-down rows of 0xAARRGGBB
};

std::mutex logLock;
std::vector<Sent> sentLog;  // what the running stand-in was sent, in order

std::vector<Sent> Log() {
    std::lock_guard<std::mutex> lock(logLock);
    return sentLog;
}

LRESULT CALLBACK TrayProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(w, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* bytes = static_cast<const char*>(data->lpData);
    Sent sent = {static_cast<DWORD>(data->dwData), {}, {}};
    std::memcpy(&sent.record, bytes, sizeof(sent.record));
    const WineNotifyRecord& r = sent.record;
    const size_t mask = (r.width * r.height + 15) / 16 * 2, pixels = r.width * r.height;
    if (r.bpp == 32 && data->cbData == sizeof(r) + mask + pixels * 4) {
        sent.pixels.resize(pixels);
        std::memcpy(sent.pixels.data(), bytes + sizeof(r) + mask, pixels * 4);
    }
    std::lock_guard<std::mutex> lock(logLock);
    sentLog.push_back(sent);
    return TRUE;
}

// The notification area on a thread of its own; its end is a shell's end.
// Not copyable, as its thread is not.
struct StandInTray {
    StandInTray() { Start(); }
    ~StandInTray() { Stop(); }
    void Start() {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread = std::thread([this, ready] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = TrayProc;
            wc.lpszClassName = L"Shell_TrayWnd";
            RegisterClassW(&wc);
            HWND w = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                     nullptr, nullptr, nullptr);
            threadId = GetCurrentThreadId();
            SetEvent(ready);
            for (MSG m; GetMessageW(&m, nullptr, 0, 0) > 0;) DispatchMessageW(&m);
            DestroyWindow(w);
        });
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
    }
    void Stop() {
        if (!thread.joinable()) return;
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        thread.join();
        std::lock_guard<std::mutex> lock(logLock);
        sentLog.clear();
    }
    std::thread thread;
    DWORD threadId = 0;
};

constexpr DWORD Add = NIM_ADD, Modify = NIM_MODIFY, Delete = NIM_DELETE, Version = NIM_SETVERSION;

bool WaitSent(size_t count) {
    return WaitUntil([&] { return Log().size() >= count; });
}
bool WaitLast(DWORD message) {
    return WaitUntil([&] { return !Log().empty() && Log().back().message == message; });
}

// What the shell posts for a click or a key on the icon, with its anchor;
// the pointer rests there, on the menu that opens.
bool OpenIconMenu(const VitalGauge& app, UINT event, int x, int y) {
    Sh("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    PostMessageW(app.listener, WM_APP + 3, MAKEWPARAM(x, y), MAKELPARAM(event, 1));
    return WaitUntil([&] { return FindProcessWindow(app.process.Id(), L"#32768", true); });
}

TEST(Story, TheIconInTheNotificationArea) {
    VG_WINE_ONLY("its notification area reads Wine's own record of each call");
    DeleteKey();
    const wchar_t personalize[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    SetDword(L"SystemUsesLightTheme", 0, personalize);
    StandInTray tray;
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND front = GetForegroundWindow();

    // Added by the listener's window and number, no GUID, then version 4.
    ASSERT_TRUE(WaitSent(3));
    const Sent add = Log()[0], version = Log()[1], first = Log()[2];
    const WineNotifyRecord& r = add.record;
    EXPECT_EQ((std::vector<DWORD>{Add, Version, Modify}),
              (std::vector<DWORD>{add.message, version.message, first.message}));
    EXPECT_EQ(HandleToLong(app.listener), r.hWnd);
    EXPECT_EQ(
        (std::vector<UINT>{1, NIF_MESSAGE | NIF_ICON | NIF_TIP, WM_APP + 3, 16, 16, 32}),
        (std::vector<UINT>{r.uID, r.uFlags & 7, r.uCallbackMessage, r.width, r.height, r.bpp}));
    EXPECT_EQ(GUID{}, r.guidItem);
    EXPECT_EQ(4u, version.record.uVersion);
    int ram = -1;
    ASSERT_EQ(1, swscanf(r.szTip, L"CPU \u2013\nRAM %d %% \u00B7 ", &ram)) << r.szTip;
    // Top-down rows: the empty CPU bar is all track, on a dark taskbar; the
    // RAM bar, the middle one, fills from the bottom in its gauge colour.
    ASSERT_EQ(256u, add.pixels.size());
    EXPECT_EQ(0x8CFFFFFFu, add.pixels[0]);
    EXPECT_EQ(0x8CFFFFFFu, add.pixels[15 * 16]);
    EXPECT_EQ(ram > 0 ? 0xFF009688u : 0x8CFFFFFFu, add.pixels[15 * 16 + 8]) << ram << " %";
    // The processor's first figure: 0 % under Wine, whose bar is as empty as
    // a dash's, so only the tip changes.
    EXPECT_EQ(0, wcsncmp(first.record.szTip, L"CPU 0 %\n", 8)) << first.record.szTip;
    EXPECT_EQ(static_cast<UINT>(NIF_TIP), first.record.uFlags & 7);

    // A light taskbar: the icon is drawn again with a dark track.
    SetDword(L"SystemUsesLightTheme", 1, personalize);
    SendMessageTimeoutW(app.listener, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_NORMAL, 5000, nullptr);
    EXPECT_TRUE(WaitUntil([] {
        const std::vector<std::uint32_t> pixels = Log().back().pixels;
        return !pixels.empty() && pixels[0] == 0x73000000;
    }));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, personalize, L"SystemUsesLightTheme");
    EXPECT_EQ(front, GetForegroundWindow()) << "nothing but the icon's events takes it";

    // No standard tip: the pointer resting on the icon opens the flyout
    // above the anchor near the screen's bottom, each widget's section led
    // by the icon's own line for it; it goes at NIN_POPUPCLOSE.
    EXPECT_EQ(0u, r.uFlags & NIF_SHOWTIP);
    const POINT anchor = {900, 1010};
    PostMessageW(app.listener, WM_APP + 3, MAKEWPARAM(anchor.x, anchor.y),
                 MAKELPARAM(NIN_POPUPOPEN, 1));
    HWND flyout = nullptr;
    std::wstring text, tip;
    EXPECT_TRUE(WaitUntil([&] {
        for (const Sent& sent : Log())
            if (sent.record.uFlags & NIF_TIP) tip = sent.record.szTip;
        flyout = FindProcessWindow(app.process.Id(), L"tooltips_class32", true);
        text = flyout ? TextOf(flyout) : L"";
        for (size_t at = 0, end = 0; at < tip.size(); at = end + 1) {
            end = std::min(tip.find(L'\n', at), tip.size());
            if (text.find(tip.substr(at, end - at) + L"\r\nLast 1 min: ") == std::wstring::npos)
                return false;
        }
        return !tip.empty();
    })) << text
        << "\n"
        << tip;
    const RECT place = ScreenRect(flyout);
    EXPECT_TRUE(place.bottom <= anchor.y && place.left <= anchor.x && anchor.x <= place.right)
        << place;
    // Its three charts side by side at the bottom, 48 high with 6 of
    // padding, each under its label in the tip's text colour.
    const RECT area = ClientScreenRect(flyout);
    const LONG chartTop = area.bottom - 54, each = (area.right - area.left - 24) / 3;
    for (LONG i = 0, left = area.left + 6; i < 3; ++i, left += each + 6)
        EXPECT_TRUE(WaitUntil([&] {
            return ColumnsIn({left, chartTop - 10, left + each, chartTop},
                             GetSysColor(COLOR_INFOTEXT)) >= 5;
        })) << "label "
            << i;
    PostMessageW(app.listener, WM_APP + 3, MAKEWPARAM(anchor.x, anchor.y),
                 MAKELPARAM(NIN_POPUPCLOSE, 1));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(flyout); }));
    EXPECT_EQ(front, GetForegroundWindow()) << "the flyout takes nothing";

    // The keyboard's event opens the icon's menu at its anchor; "Show icon
    // in the notification area" takes the icon away and stores the choice.
    ASSERT_TRUE(OpenIconMenu(app, NIN_KEYSELECT, 600, 500));
    Keys("Down Down Down Down Return");
    EXPECT_TRUE(WaitLast(Delete));
    EXPECT_TRUE(WaitUntil([] { return DwordIn(ReadKey(), L"NotificationIcon") == 0; }));
    // The widgets' menu has the switch too, right after "Settings...".
    ASSERT_TRUE(app.OpenMenu(app.ram));
    Keys("Down Down Down Down Down Down Down Down Return");
    EXPECT_TRUE(WaitLast(Version));
    EXPECT_TRUE(WaitUntil([] { return ReadKey().count(L"NotificationIcon") == 0; }));

    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_EQ(Delete, Log().back().message) << "no ghost";

    // A start before the taskbar, as after a shell's restart: the icon comes
    // with its announcement. Exit from the icon's menu (a left click) takes it away.
    tray.Stop();
    ASSERT_TRUE(app.Start());
    tray.Start();
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0) &&
                WaitSent(1));  // a new shell's broadcast
    EXPECT_EQ(Add, Log()[0].message);
    ASSERT_TRUE(OpenIconMenu(app, NIN_SELECT, 600, 500));
    Keys("Down Down Down Down Down Return");
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_EQ(Delete, Log().back().message);
}

}  // namespace
