// menu_opener X Y: opens the CPU widget's context menu at a screen point,
// as a right click on it would (for the README picture of the menu).
// menu_opener X Y flyout: opens the notification icon's flyout for an icon
// anchored there, as the shell does when the pointer rests on the icon.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    const int x = _wtoi(argv[1]), y = _wtoi(argv[2]);
    const bool flyout = argc > 3 && std::wcscmp(argv[3], L"flyout") == 0;
    LocalFree(argv);
    if (flyout) {
        HWND listener = FindWindowW(L"VitalGaugeMessageListener", L"VitalHiddenMsgListener");
        // The icon's message in version 4's packing: the anchor, then the
        // event with the icon's number above it.
        return listener && PostMessageW(listener, WM_APP + 3, MAKEWPARAM(x, y),
                                        MAKELPARAM(NIN_POPUPOPEN, 1))
                   ? 0
                   : 1;
    }
    HWND cpu = FindWindowW(L"CPUVitalGaugeClass", nullptr);
    if (!cpu) return 1;
    PostMessageW(cpu, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(x, y));
    return 0;
}
