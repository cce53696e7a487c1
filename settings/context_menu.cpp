#include "settings/context_menu.h"

void ShowContextMenu(HWND, WPARAM, LPARAM) {}
