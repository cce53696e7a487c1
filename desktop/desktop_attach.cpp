#include "desktop/desktop_attach.h"

void AttachToDesktop(HWND) {}
