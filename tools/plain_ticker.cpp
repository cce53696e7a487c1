// plain-ticker: the yardstick tools/bench sets VitalGauge's idle cost
// against. Three plain windows repainted every six seconds with plain GDI,
// at idle priority and per-monitor DPI aware like the real program: about
// the least any program showing three figures that often can cost.
#include <windows.h>

namespace {

constexpr UINT_PTR kTickTimerId = 1;
constexpr UINT kTickMs = 6000;
constexpr int kEdge = 160;
constexpr int kTop = 400;  // below VitalGauge's first-run row: no window covers another
HWND windows[3] = {};

LRESULT CALLBACK TickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        for (HWND w : windows) InvalidateRect(w, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        InflateRect(&client, -8, -8);
        FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"42%", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TickerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"PlainTicker";
    if (!RegisterClassW(&windowClass)) return 1;
    for (int i = 0; i < 3; ++i) {
        windows[i] = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"plain-ticker",
                                     WS_POPUP | WS_VISIBLE, 20 + i * (kEdge + 10), kTop, kEdge,
                                     kEdge, nullptr, nullptr, instance, nullptr);
        if (!windows[i]) return 1;
    }
    SetTimer(windows[0], kTickTimerId, kTickMs, nullptr);

    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return static_cast<int>(msg.wParam);
}
