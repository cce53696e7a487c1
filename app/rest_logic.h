#pragma once
// When nobody can see the widgets: pure decisions over the session's and
// the display's notifications, so tests walk through them without a session.

#include "core/visibility.h"

#include <windows.h>

enum class RestEvent { Lock, Unlock, Disconnect, Connect, DisplayOff, DisplayOn, Resume, Other };

// A WM_WTSSESSION_CHANGE code.
inline RestEvent SessionEvent(WPARAM code) {
    switch (code) {
    case WTS_SESSION_LOCK:
        return RestEvent::Lock;
    case WTS_SESSION_UNLOCK:
        return RestEvent::Unlock;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
        return RestEvent::Disconnect;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
        return RestEvent::Connect;
    default:
        return RestEvent::Other;
    }
}

// The display state's value: 0 off, 1 on, 2 dimmed, which is still seen.
inline RestEvent DisplayEvent(DWORD status) {
    return status == 0 ? RestEvent::DisplayOff : RestEvent::DisplayOn;
}

enum class RestStep { Nothing, Stop, Restart };

// Applies an event. Leaving rest, and a resume from sleep while seen,
// restart the sampling: the figures shown are from before.
inline RestStep ApplyRestEvent(Visibility& v, RestEvent event) {
    const bool wasAtRest = AtRest(v);
    switch (event) {
    case RestEvent::Lock:
    case RestEvent::Unlock:
        v.locked = event == RestEvent::Lock;
        break;
    case RestEvent::Disconnect:
    case RestEvent::Connect:
        v.disconnected = event == RestEvent::Disconnect;
        break;
    case RestEvent::DisplayOff:
    case RestEvent::DisplayOn:
        v.displayOff = event == RestEvent::DisplayOff;
        break;
    default:
        break;
    }
    if (AtRest(v)) return wasAtRest ? RestStep::Nothing : RestStep::Stop;
    return wasAtRest || event == RestEvent::Resume ? RestStep::Restart : RestStep::Nothing;
}
