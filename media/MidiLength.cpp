#include "media/MidiLength.h"

#include "media/ByteView.h"

int MidiLengthMs(const QByteArray& file) {
    return MidiLengthMs(ByteView(file));
}

std::set<TPresetId> MidiPresets(const QByteArray& file) {
    return MidiPresets(ByteView(file));
}
