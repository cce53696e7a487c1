#pragma once
#include <windows.h>

constexpr const wchar_t* kListenerClassName = L"VitalGaugeMessageListener";
constexpr const wchar_t* kListenerTitle = L"VitalHiddenMsgListener";
constexpr const wchar_t* kCloseMessageName = L"Vital_Gauge_Close";
// Sent by a second start in the same session: the running copy brings its
// widgets into view instead.
constexpr const wchar_t* kShowMessageName = L"Vital_Gauge_Show";
// Broadcast to top-level windows by a shell that has just started.
constexpr const wchar_t* kShellCreatedMessageName = L"TaskbarCreated";
// Timer on the listener: how long lost widgets wait for a new shell before
// they show without one.
constexpr UINT_PTR ShellWaitTimerId = 3002;
constexpr UINT ShellWaitMs = 45000;
// Timer on the listener: the widgets go back to their chosen places this long
// after the last re-attachment, once the shell has laid its windows out anew.
constexpr UINT_PTR PlaceRestoreTimerId = 3003;
// A dock or a waking monitor sends several changes within a second or two.
constexpr UINT PlaceRestoreDelayMs = 2000;
// Timer on the listener: a new shell may announce itself before its desktop
// view exists, so attachment is tried again this often, this many times.
constexpr UINT_PTR AttachRetryTimerId = 3004;
constexpr UINT AttachRetryMs = 500;
constexpr int AttachRetries = 60;

// Ends the message loop when another process sends "Vital_Gauge_Close", and
// the whole program on WM_CLOSE or the end of the session;
// brings lost widgets back when a shell starts; re-attaches the widgets on
// the setting, display and theme changes that only top-level windows get.
LRESULT CALLBACK ListenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the listener class and creates the hidden top-level listener.
// A top-level window (not message-only) so broadcasts reach it.
HWND CreateListenerWindow(HINSTANCE instance);

// The widgets are gone without being asked to go (their shell took them):
// saves the chosen places (never read from the dying windows), forgets their
// handles and waits for a new shell, or for the end of the wait.
void OnWidgetsLost();

// Watches the process of the shell that holds the widgets, when that is
// another one than the last watched: at the start, and after every
// re-attachment. StopWatchingShell closes the handle.
void FollowShell();
void StopWatchingShell();

// Tries attaching every half second while a widget is not yet in the shell's
// window: a shell's desktop view may come later than the shell (a slow
// sign-in, a restarted shell). Stops when all are in, or after 30 seconds.
void RetryAttachmentWhileDetached();
