#include "app/rest.h"

#include "app/rest_logic.h"
#include "core/state.h"
#include "widgets/refresh.h"

#include <wtsapi32.h>

const GUID kDisplayStatusSetting = {
    0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};

namespace {

void Apply(RestEvent event) {
    switch (ApplyRestEvent(appState.visibility, event)) {
    case RestStep::Stop:
        StopSampling();
        break;
    case RestStep::Restart:
        StartSampling();  // which repaints all three
        break;
    default:
        break;
    }
}

}  // namespace

void ListenForRest(HWND listener) {
    // wtsapi32.dll is no KnownDLL: from System32 only, never by its bare name.
    if (HMODULE wts = LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        using Register = BOOL(WINAPI*)(HWND, DWORD);
        const auto registerSession = reinterpret_cast<Register>(
            reinterpret_cast<void (*)()>(GetProcAddress(wts, "WTSRegisterSessionNotification")));
        if (registerSession) registerSession(listener, NOTIFY_FOR_THIS_SESSION);
    }
    // Answered at once with the display's present state.
    RegisterPowerSettingNotification(listener, &kDisplayStatusSetting, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void OnSessionChange(WPARAM code) { Apply(SessionEvent(code)); }

void OnPowerBroadcast(WPARAM event, LPARAM setting) {
    if (event == PBT_APMRESUMEAUTOMATIC) {
        Apply(RestEvent::Resume);
        return;
    }
    const auto* s = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
    if (event != PBT_POWERSETTINGCHANGE || !s || s->PowerSetting != kDisplayStatusSetting ||
        s->DataLength < sizeof(DWORD))
        return;
    DWORD status = 0;
    CopyMemory(&status, s->Data, sizeof(status));
    Apply(DisplayEvent(status));
}
