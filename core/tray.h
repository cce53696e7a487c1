#pragma once
// The notification-area icon as the shell holds it: what it was last sent,
// so that a tick that changes nothing sends nothing.

#include "core/colors.h"

#include <windows.h>

#include <shellapi.h>

// The icon is the listener window's icon number 1, never a GUID: a GUID
// ties an icon to the program's path, and the portable copy moves.
constexpr UINT kTrayIconId = 1;

// NOTIFYICONDATA's tip, its terminator included.
constexpr int kTrayTipChars = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t);

// Three bars, CPU, RAM and Swap from left to right, each filled from the
// bottom. Two looks that are equal draw the same pixels.
struct TrayIconLook {
    int size = 0;        // pixels per side; 0 for none drawn yet
    int filled[3] = {};  // rows filled of each bar
    Argb fill[3] = {};   // each bar's filled part
    Argb track = 0;      // the rest of every bar
};

inline bool operator==(const TrayIconLook& a, const TrayIconLook& b) {
    for (int i = 0; i < 3; ++i)
        if (a.filled[i] != b.filled[i] || a.fill[i] != b.fill[i]) return false;
    return a.size == b.size && a.track == b.track;
}
inline bool operator!=(const TrayIconLook& a, const TrayIconLook& b) { return !(a == b); }

// What the icon needs to know of the taskbar it sits on, read when Windows
// says it may have changed rather than at every tick.
struct TaskbarLook {
    int iconSize = 16;   // the small-icon size at the taskbar's DPI
    bool light = false;  // a light taskbar: the bars' track is dark
    bool highContrast = false;
    SystemColors system = {};  // while highContrast: the theme's colours
};

// The icon's switch and its standing with the shell.
struct TrayState {
    bool wanted = true;   // the user's switch; stored only while off
    bool added = false;   // the shell holds our icon
    bool addDue = false;  // an add waits: at start, a new shell, the switch, the end of a rest
    TaskbarLook taskbar;
    TrayIconLook sentIcon;
    wchar_t sentTip[kTrayTipChars] = {};
};
