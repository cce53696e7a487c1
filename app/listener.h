#pragma once
#include <windows.h>

constexpr const wchar_t* kListenerClassName = L"VitalGaugeMessageListener";
constexpr const wchar_t* kListenerTitle = L"VitalHiddenMsgListener";
constexpr const wchar_t* kCloseMessageName = L"Vital_Gauge_Close";

// Ends the message loop when another process sends "Vital_Gauge_Close".
LRESULT CALLBACK ListenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the listener class and creates the hidden top-level listener.
// A top-level window (not message-only) so broadcasts reach it.
HWND CreateListenerWindow(HINSTANCE instance);
