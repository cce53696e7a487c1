#pragma once
#include "core/tray.h"

#include <windows.h>

// The icon of a look: 32 bits with alpha, look.size pixels square. The
// caller destroys it; null when GDI cannot make it.
HICON CreateTrayIcon(const TrayIconLook& look);
