#pragma once
// What the program knows of a monitor when it places the widgets.

#include <windows.h>

struct MonitorArea {
    RECT monitor;      // the whole monitor: what the lookup intersects with
    RECT work;         // the monitor less task bars and docked bars
    bool workKnown;    // false when the monitor's information could not be read
    unsigned dpi = 0;  // its display scale; 0 when it cannot tell, taken as 96
};
