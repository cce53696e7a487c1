#pragma once
// The messages of the program's own to its listener window. Two events
// travel up from the widgets, and the listener decides what follows; they
// are sent, not posted: each is handled before the widget goes on, in the
// order the widgets see things. The shell posts the third.

#include <windows.h>

// A command chosen in a widget's menu (0 for a dismissed menu): wParam the
// command, lParam the clicked widget's window.
constexpr UINT kMenuCommandMessage = WM_APP + 1;

// The CPU widget is being destroyed without anyone here asking: the shell
// took the widgets with its windows.
constexpr UINT kWidgetsLostMessage = WM_APP + 2;

// The notification area's news of the icon, in version 4's packing: wParam
// the anchor point (x, y), lParam the event with the icon's id above it.
constexpr UINT kTrayMessage = WM_APP + 3;
