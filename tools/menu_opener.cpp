// menu_opener X Y: opens the CPU widget's context menu at a screen point,
// as a right click on it would (for the README picture of the menu).
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    const int x = _wtoi(argv[1]), y = _wtoi(argv[2]);
    LocalFree(argv);
    HWND cpu = FindWindowW(L"CPUVitalGaugeClass", nullptr);
    if (!cpu) return 1;
    PostMessageW(cpu, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(x, y));
    return 0;
}
