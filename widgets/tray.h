#pragma once
// The notification-area icon: the three figures as bars in the widgets'
// colours, a tip with them, and the program's menu, which the keyboard
// (Win+B) and a screen reader reach there as they never reach the desktop.

#include <windows.h>

// Adds the icon, if the user wants it, at the taskbar's present size and
// theme: at start once the widgets exist, when a shell announces itself,
// and when the user switches it on. Without a taskbar the add waits for
// the next shell's announcement.
void AddTrayIcon();

// Sends the shell what changed since the last send, and nothing else;
// nothing at all at rest (the first sync after it catches up).
void SyncTrayIcon();

// The taskbar's display scale, theme or high contrast may have changed:
// read them again and redraw the icon if it looks different now.
void OnTaskbarLookChanged();

// Takes the icon out of the notification area: switched off, and on every
// way out of the program, so that no ghost stays behind.
void RemoveTrayIcon();
