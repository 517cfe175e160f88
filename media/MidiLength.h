#pragma once
// The MIDI file readers (media/MidiFile.h) over a tune the game holds in a QByteArray.

#include "media/MidiFile.h"

#include <QByteArray>

int MidiLengthMs(const QByteArray& file);
std::set<TPresetId> MidiPresets(const QByteArray& file);
