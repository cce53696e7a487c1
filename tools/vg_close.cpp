// vg-close: ends running VitalGauge widgets the way any other program can,
// by broadcasting the registered "Vital_Gauge_Close" message.
#include <windows.h>

int wmain() {
    const UINT closeMessage = RegisterWindowMessageW(L"Vital_Gauge_Close");
    if (!closeMessage) return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, closeMessage, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    return 0;
}
