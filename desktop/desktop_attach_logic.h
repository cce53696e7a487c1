#pragma once
// Pure decisions of the desktop attachment, kept apart from the window code
// so that tests call them without a shell.

#include <windows.h>

#include <cwchar>

// The shell's private request to put a worker window behind the desktop
// icons; it is sent with both parameters 0.
constexpr UINT kDesktopWorkerMessage = 0x052C;
// How long a widget waits for the shell to answer that request.
constexpr UINT kShellAnswerTimeoutMs = 1000;
// Whole style of an attached widget: borderless popup, visible.
constexpr LONG_PTR kAttachedWidgetStyle = static_cast<LONG_PTR>(WS_POPUP | WS_VISIBLE);

// The icons count as hidden only when the 4-byte read of "HideIcons"
// succeeded and gave exactly 1 (a missing key never gets this far). A failed
// read (a value longer than 4 bytes reports ERROR_MORE_DATA and may have
// filled the buffer anyway) falls back to the shown-icons path.
inline bool IconsHiddenFromRead(LONG readStatus, DWORD value) {
    return readStatus == ERROR_SUCCESS && value == 1;
}

// Extended style of an attached widget: never click-through, marked
// topmost, every other bit (layered, tool window) kept.
inline LONG_PTR AttachedExStyle(LONG_PTR exStyle) {
    return (exStyle & ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT)) |
           static_cast<LONG_PTR>(WS_EX_TOPMOST);
}

// A window that holds the desktop view belongs to the shell only when it is
// one of the shell's own desktop windows ("Progman", or a "WorkerW" made on
// request) in the process of "Progman". Another program's window can hold a
// view too (a file dialog does), and must never take the widgets.
inline bool IsShellViewHolder(const wchar_t* className, DWORD holderProcess, DWORD shellProcess) {
    return shellProcess != 0 && holderProcess == shellProcess &&
           (std::wcscmp(className, L"WorkerW") == 0 || std::wcscmp(className, L"Progman") == 0);
}
