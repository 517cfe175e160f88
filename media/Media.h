#pragma once
// Sound effects and background music through SDL2_mixer.
// Everything here fails silently: no audio device, a missing effect or a broken
// music file means silence, never an error box and never a crash.

#include <QString>
#include <QStringList>

// Opens SDL and its mixer (the program loads them only now) and starts SDL's audio part
// without opening a device; OpenAudio calls it where nobody did. Without SDL's libraries the
// game stays silent, as without a sound card.
void PrepareAudio();
// Opens the audio device once for the whole run (on first use); false when there is none.
// A failed attempt is remembered, so later calls cost nothing until CloseAudio.
bool OpenAudio();
// Stops everything, lets go of the device and forgets the effects; the next OpenAudio starts afresh.
void CloseAudio();

// How many of the mixer's MIDI synthesizers were told to read a soundfont's samples only as
// the tune's instruments ask for them (see Media.cpp); 0 where the mixer bypasses the program.
int SynthsLoadingSamplesOnDemand();
// How many tunes were loaded with the system's soundfont cut down to their instruments.
int TunesOnCutDownFonts();

// The eight effects built into the program: "MIX", "UP", "DOWN", "FALSCH", "TAKE",
// "COLLECT", "DONE", "LOST". Plays asynchronously on one channel: a new effect cuts off
// the one still playing. Whether effects are switched on is the caller's business.
void PlayEffect(const QString& name);

// Background music: the *.mid files of a few folders, folder by folder, each in the order the
// folder lists them.
class TMusic {
public:
    TMusic();
    ~TMusic();
    TMusic(const TMusic&) = delete;
    TMusic& operator=(const TMusic&) = delete;

    // Looks for the first *.mid in the folders and opens it, not playing.
    void Start(const QStringList& folders);
    void Start(const QString& folder);
    // Every timer tick: while musicOn, a file that is open but not playing starts again from its beginning.
    void KeepAlive(bool musicOn);
    // The options page's switch: on -> stop and close; off -> next file (wrapping), open, play.
    void Switch(bool& musicOn);
    // Bare name of the current music file with its extension, empty when none was found.
    QString FileName() const;

    // True while the current file is loaded in the mixer (found and accepted).
    bool IsOpen() const;
    // True while the current file is playing (or fading out its last notes).
    bool IsPlaying() const;

private:
    struct Impl;
    Impl* m_impl;
};
