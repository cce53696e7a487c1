#include "widgets/tray.h"

#include "core/messages.h"
#include "core/state.h"
#include "desktop/monitors.h"
#include "render/painters.h"
#include "render/tray_icon.h"
#include "widgets/tip.h"
#include "widgets/tray_logic.h"

#include <cwchar>

namespace {

constexpr wchar_t kPersonalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

NOTIFYICONDATAW IconData(UINT parts) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = appState.listenerWindow;
    data.uID = kTrayIconId;
    data.uFlags = parts;
    return data;
}

void ReadTaskbarLook() {
    TaskbarLook& taskbar = appState.tray.taskbar;
    // The notification area has the scale of the taskbar's monitor, which
    // may not be the system's: the rule of a widget in the shell's window.
    const HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    const unsigned dpi = ChooseWidgetDpi(tray != nullptr, MonitorDpi(tray), GetDpiForSystem());
    taskbar.iconSize = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    DWORD light = 0, size = sizeof(light);
    taskbar.light = RegGetValueW(HKEY_CURRENT_USER, kPersonalizeKey, L"SystemUsesLightTheme",
                                 RRF_RT_REG_DWORD, nullptr, &light, &size) == ERROR_SUCCESS &&
                    light != 0;
    taskbar.highContrast = ReadHighContrast(taskbar.system);
}

// The shell copies the icon, so ours goes at once. What was sent is kept,
// so that the next sync sends only what differs from it.
bool Send(const TraySync& sync, const TrayIconLook& icon, const std::wstring& tip) {
    NOTIFYICONDATAW data = IconData(sync.parts);
    data.uCallbackMessage = kTrayMessage;
    // No NIF_SHOWTIP: version 4 then shows no standard tip and tells of the
    // pointer resting on the icon, for the flyout; the text stays the
    // icon's name, which a screen reader reads.
    if (sync.parts & NIF_TIP) std::wcsncpy(data.szTip, tip.c_str(), kTrayTipChars - 1);
    if (sync.parts & NIF_ICON) data.hIcon = CreateTrayIcon(icon);
    if (!data.hIcon) data.uFlags &= ~NIF_ICON;  // out of GDI: the next change tries again
    const bool sent = Shell_NotifyIconW(sync.message, &data) != FALSE;
    if (data.hIcon) DestroyIcon(data.hIcon);
    if (!sent) return false;
    TrayState& tray = appState.tray;
    if (data.uFlags & NIF_ICON) tray.sentIcon = icon;
    if (data.uFlags & NIF_TIP) std::wcsncpy(tray.sentTip, data.szTip, kTrayTipChars);
    return true;
}

}  // namespace

void AddTrayIcon() {
    TrayState& tray = appState.tray;
    tray.added = false;  // a new shell holds nothing of ours
    tray.addDue = tray.wanted;
    ReadTaskbarLook();
    SyncTrayIcon();
}

void SyncTrayIcon() {
    TrayState& tray = appState.tray;
    const TrayIconLook icon =
        TrayLookFor(appState.WidgetSettings, appState.LiveMetrics, tray.taskbar);
    const std::wstring tip = TrayTipText(appState.LiveMetrics);
    const TraySync sync = NextTraySync(tray, AtRest(appState.visibility), icon, tip);
    if (sync.parts == 0) return;
    if (sync.message != NIM_ADD) {
        Send(sync, icon, tip);
        return;
    }
    // One try: without a taskbar the next comes with its announcement, never
    // by polling. A shell that announces itself again (a new taskbar scale)
    // may still hold the icon, which is then brought up to date instead.
    tray.addDue = false;
    if (!Send(sync, icon, tip) && !Send({NIM_MODIFY, sync.parts}, icon, tip)) return;
    tray.added = true;
    NOTIFYICONDATAW version = IconData(0);
    version.uVersion = NOTIFYICON_VERSION_4;  // the keyboard's events, and an anchor point
    Shell_NotifyIconW(NIM_SETVERSION, &version);
}

void OnTaskbarLookChanged() {
    ReadTaskbarLook();
    SyncTrayIcon();
}

void RemoveTrayIcon() {
    HideIconTip();  // it belongs to the icon
    TrayState& tray = appState.tray;
    tray.addDue = false;
    if (!tray.added) return;
    tray.added = false;
    NOTIFYICONDATAW data = IconData(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
}
