#include "desktop/desktop_attach.h"

#include "desktop/desktop_attach_logic.h"

namespace {

const wchar_t kExplorerAdvancedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
const wchar_t kHideIconsValue[] = L"HideIcons";
const wchar_t kShellDesktopClass[] = L"Progman";
const wchar_t kShellViewClass[] = L"SHELLDLL_DefView";
const wchar_t kIconListClass[] = L"SysListView32";

// The user's "Show desktop icons" choice, as the shell stores it. The type is
// not examined: whatever fits in four bytes and reads as 1 means hidden.
bool DesktopIconsHidden() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kExplorerAdvancedKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LONG status = RegQueryValueExW(key, kHideIconsValue, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return IconsHiddenFromRead(status, value);
}

struct HolderSearch {
    DWORD shellProcess;
    HWND found;
};

BOOL CALLBACK FindViewHolder(HWND window, LPARAM param) {
    HolderSearch& search = *reinterpret_cast<HolderSearch*>(param);
    if (!FindWindowExW(window, nullptr, kShellViewClass, nullptr)) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (!IsShellViewHolder(className, process, search.shellProcess)) return TRUE;
    search.found = window;
    return FALSE;  // the first of the shell's holders in z-order is the one
}

// The shell's top-level window that holds the desktop view: "Progman" at
// first, a "WorkerW" once anyone has asked for the worker window.
HWND ShellViewHolder(HWND desktop) {
    HolderSearch search = {0, nullptr};
    GetWindowThreadProcessId(desktop, &search.shellProcess);
    EnumWindows(FindViewHolder, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// With the icons hidden the view is not asked to move: the widget goes
// straight into the view, under "Progman" or wherever an earlier request
// moved it.
HWND HiddenIconsTarget() {
    HWND desktop = FindWindowW(kShellDesktopClass, nullptr);
    if (!desktop) return nullptr;
    if (HWND view = FindWindowExW(desktop, nullptr, kShellViewClass, nullptr)) return view;
    HWND holder = ShellViewHolder(desktop);
    return holder ? FindWindowExW(holder, nullptr, kShellViewClass, nullptr) : nullptr;
}

// With the icons shown the shell is first asked to set up its worker window;
// the view may then live in another top-level window, so it is searched
// afresh, and the widget goes under the icon list where there is one.
HWND ShownIconsTarget() {
    HWND desktop = FindWindowW(kShellDesktopClass, nullptr);
    if (!desktop) return nullptr;
    // A shell that does not answer holds us up for the time-out, no longer;
    // SMTO_NORMAL keeps messages sent to this thread flowing meanwhile.
    SendMessageTimeoutW(desktop, kDesktopWorkerMessage, 0, 0, SMTO_NORMAL, kShellAnswerTimeoutMs,
                        nullptr);

    HWND holder = ShellViewHolder(desktop);
    if (!holder) return nullptr;

    HWND view = FindWindowExW(holder, nullptr, kShellViewClass, nullptr);
    HWND list = view ? FindWindowExW(view, nullptr, kIconListClass, nullptr) : nullptr;
    return list ? list : holder;
}

}  // namespace

HWND AttachedParent(HWND widget) {
    const HWND parent = GetAncestor(widget, GA_PARENT);
    return parent == GetDesktopWindow() ? nullptr : parent;
}

void AttachToDesktop(HWND widget) {
    HWND target = DesktopIconsHidden() ? HiddenIconsTarget() : ShownIconsTarget();
    if (!target) return;  // no shell: the widget stays where it is
    // Already there: a change of parent hides and shows the widget, a blink
    // on the desktop and a repaint of the icons, for nothing.
    if (GetAncestor(widget, GA_PARENT) == target) return;

    // A new parent keeps the widget's numbers but reads them from its own
    // corner, which is the virtual screen's, not (0,0), when a monitor lies
    // left of or above the primary: keep the place on the screen instead.
    RECT screen = {};
    GetWindowRect(widget, &screen);
    // A child while it changes parent: a popup is activated by the move on
    // some systems, and a widget never takes the keyboard from anyone.
    SetWindowLongPtrW(widget, GWL_STYLE,
                      WS_CHILD | (GetWindowLongPtrW(widget, GWL_STYLE) & WS_VISIBLE));
    SetParent(widget, target);
    SetWindowLongPtrW(widget, GWL_STYLE, kAttachedWidgetStyle);
    SetWindowLongPtrW(widget, GWL_EXSTYLE, AttachedExStyle(GetWindowLongPtrW(widget, GWL_EXSTYLE)));
    // The widget's own position handling turns this into "bottom of its
    // siblings", under the icons.
    POINT at = {screen.left, screen.top};
    MapWindowPoints(nullptr, target, &at, 1);
    SetWindowPos(widget, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

bool DesktopShellRunning() { return FindWindowW(kShellDesktopClass, nullptr) != nullptr; }

void PlaceOnScreen(HWND widget, LONG screenX, LONG screenY, int width, int height, UINT flags) {
    // Window rectangles are screen coordinates, while a move is in the
    // parent's client coordinates once the widget lives inside the desktop's
    // window tree.
    POINT at{screenX, screenY};
    if (HWND parent = AttachedParent(widget)) ScreenToClient(parent, &at);
    SetWindowPos(widget, nullptr, at.x, at.y, width, height, flags);
}

HWND TopLevelInsertAfter() {
    HWND desktop = FindWindowW(kShellDesktopClass, nullptr);
    DWORD shell = 0;
    if (!GetWindowThreadProcessId(desktop, &shell)) return HWND_BOTTOM;  // none, or gone
    // Just above the highest of the shell's desktop windows.
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        wchar_t className[16] = {};
        GetClassNameW(w, className, 16);
        if (!IsShellViewHolder(className, process, shell)) continue;
        const HWND above = GetWindow(w, GW_HWNDPREV);
        return above ? above : HWND_TOP;
    }
    return HWND_BOTTOM;
}
