#pragma once
// The two events that travel up from the widgets to the program's listener
// window, which decides what follows. Sent, not posted: each is handled
// before the widget goes on, in the order the widgets see things.

#include <windows.h>

// A command chosen in a widget's menu (0 for a dismissed menu): wParam the
// command, lParam the clicked widget's window.
constexpr UINT kMenuCommandMessage = WM_APP + 1;

// The CPU widget is being destroyed without anyone here asking: the shell
// took the widgets with its windows.
constexpr UINT kWidgetsLostMessage = WM_APP + 2;
