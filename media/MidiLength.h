#pragma once
// How long a Standard MIDI File plays, read from its own tempo map.

#include <QByteArray>

// Milliseconds from the start to the last end of track of the longest track, with every
// tempo change taken into account; -1 when the bytes are no MIDI file this can read
// (a damaged header, a track running past the end, an unknown event).
int MidiLengthMs(const QByteArray& file);
