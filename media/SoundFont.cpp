#include "media/SoundFont.h"

#include "media/ByteView.h"

QByteArray SubsetSoundFont(const QByteArray& font, const std::set<TPresetId>& wanted) {
    return ToByteArray(SubsetSoundFont(ByteView(font), wanted));
}
