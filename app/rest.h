#pragma once
#include <windows.h>

// GUID_SESSION_DISPLAY_STATUS: the display of this session on, off or dimmed.
extern const GUID kDisplayStatusSetting;

// Asks for the session's notifications and the display state, sent to the
// listener window from then on.
void ListenForRest(HWND listener);

// WM_WTSSESSION_CHANGE and WM_POWERBROADCAST on the listener: stop sampling
// on going to rest, sample and repaint at once on coming back.
void OnSessionChange(WPARAM code);
void OnPowerBroadcast(WPARAM event, LPARAM setting);
