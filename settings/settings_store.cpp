#include "settings/settings_store.h"

#include "app/state.h"

// Until the registry store exists: defaults only, nothing persisted.
void LoadSettings(RECT& cpuRect, RECT& ramRect, RECT& swapRect) {
    cpuRect = {550, 100, 250, 250};
    ramRect = {700, 100, 250, 250};
    swapRect = {850, 100, 250, 250};
}

void SaveSettings() {}

void ClampToWorkArea(RECT&) {}
