#pragma once
// The hover details: a tracking tooltip of the program's own, shown by the
// widget under the pointer with its figures in full. The widgets answer
// WM_NCHITTEST with HTCAPTION, so the pointer over them comes as non-client
// messages, which a subclassing tooltip never sees.

#include "core/state.h"

#include <windows.h>

// The tip's leave check on the widget: see OnTipPointerLeave.
constexpr UINT_PTR TipLeaveTimerId = 3020;
constexpr UINT TipLeaveCheckMs = 200;
// On the tooltip: the CPU tip's second process snapshot, as the processor
// figure's second reading at start.
constexpr UINT_PTR TipSecondSnapshotTimerId = 3021;
constexpr UINT TipSecondSnapshotMs = 1000;

// WM_NCMOUSEMOVE: follows the pointer on this widget, for its hover and
// its leave; back over a drawn part, the tip stays.
void OnTipPointerMove(HWND widget);

// WM_NCMOUSEHOVER: shows the widget's figures at the pointer, in the font
// and width of the widget's display scale, with its history's chart, for
// CPU each processor's load, and the heaviest processes behind the figure
// from a snapshot taken now (and for CPU, a second later). Not while at
// rest.
void ShowTip(WidgetKind kind, HWND widget, unsigned dpi);

// The notification icon's flyout, shown when the pointer rests on the icon
// (NIN_POPUPOPEN, with the icon's anchor): all three widgets' figures, each
// with its chart and its heaviest process, off the taskbar beside the
// anchor, at that monitor's scale. Not while at rest or while the shell has
// taken the widgets. HideIconTip hides it, and nothing else (NIN_POPUPCLOSE,
// the icon turned off).
void ShowIconTip(POINT anchor);
void HideIconTip();

// WM_NCMOUSELEAVE: hides the tip, unless the pointer only crossed into a
// transparent gap of the same widget: then the leave timer checks until it
// is off the widget's rectangle, so the tip does not blink.
void OnTipPointerLeave(HWND widget);
void OnTipLeaveTimer(HWND widget);

// A right button, the start of a drag, rest, a widget going away, the
// icon's menu: hides whichever tip shows. Frees the process details.
void HideTip();

// After a tick: the shown tip takes a new snapshot and the new figures; its
// text only when it changed, so it does not flicker; its chart always.
void RefreshTip();

// WM_NOTIFY from the tooltip to its owner, the listener: its custom draw
// draws the pictures into the room below the text.
LRESULT OnTipNotify(const NMHDR* header);
