#pragma once
// The soundfont cut (media/SoundFontCut.h) over a font the game holds in a QByteArray.

#include "media/MidiLength.h"
#include "media/SoundFontCut.h"

#include <QByteArray>

QByteArray SubsetSoundFont(const QByteArray& font, const std::set<TPresetId>& wanted);
