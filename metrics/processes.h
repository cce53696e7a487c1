#pragma once
// The processes behind the figures and each processor's load, read into the
// state's process details only while a tip shows them.

// One system-wide snapshot of every process (also those of other users and
// elevated ones, which no handle could open) and each processor's times:
// ranks the heaviest processes of each figure, and each processor's load
// since the reading before. Not within half a second of the last snapshot,
// which is kept then.
void ReadProcessDetails();

// Frees the snapshot and all that came of it: the tip is hidden.
void ForgetProcessDetails();
