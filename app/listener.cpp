#include "app/listener.h"

#include "app/state.h"

LRESULT CALLBACK ListenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (appState.closeMessageId != 0 && message == appState.closeMessageId) {
        // No save: the last drag or command already saved.
        appState.closeRequested = true;
        EndMenu();  // an open context menu would otherwise wait for the user
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateListenerWindow(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ListenerWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kListenerClassName;
    RegisterClassExW(&wc);
    return CreateWindowExW(0, kListenerClassName, kListenerTitle, 0, 0, 0, 0, 0, nullptr,
                           nullptr, instance, nullptr);
}
