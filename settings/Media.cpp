// Placeholder until the SDL2_mixer player lands: silent.
#include "settings/Media.h"

struct TMusic::Impl {};

bool OpenAudio() { return false; }
void CloseAudio() {}
void PlayEffect(const QString&) {}

TMusic::TMusic() : m_impl(new Impl) {}
TMusic::~TMusic() { delete m_impl; }
void TMusic::Start(const QString&) {}
void TMusic::KeepAlive(bool) {}
void TMusic::Switch(bool& musicOn) { musicOn = !musicOn; }
QString TMusic::FileName() const { return {}; }
