#pragma once
// Whether anybody can see the widgets.

struct Visibility {
    bool locked = false;
    bool disconnected = false;  // from the console or a remote session
    bool displayOff = false;
};

// At rest, the widgets neither sample nor paint.
inline bool AtRest(const Visibility& v) { return v.locked || v.disconnected || v.displayOff; }
